#include "platform/media/De265Api.h"

#include "platform/system/SharedLibrary.h"

#include <optional>

namespace {

std::optional<De265Api> resolve() {
    static const SharedLibrary library({"libde265.so.0"});
    De265Api api;
    bool complete = true;
#define QVMB_DE265_RESOLVE(name)                                                                             \
    {                                                                                                        \
        void* address = library.symbol(#name);                                                               \
        api.name = reinterpret_cast<decltype(api.name)>(address);                                            \
        complete = complete && address != nullptr;                                                           \
    }
    QVMB_DE265_FUNCTIONS(QVMB_DE265_RESOLVE)
#undef QVMB_DE265_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    return api;
}

} // namespace

const De265Api* De265Api::load() {
    static const std::optional<De265Api> api = resolve();
    return api ? &*api : nullptr;
}
