#include "platform/media/RawApi.h"

#include "platform/system/SharedLibrary.h"

#include <optional>

namespace {

std::optional<RawApi> resolve() {
    static const SharedLibrary library({"libraw_r.so." + QByteArray::number(LIBRAW_SHLIB_CURRENT)});
    RawApi api;
    bool complete = true;
#define QVMB_RAW_RESOLVE(name)                                                                               \
    {                                                                                                        \
        void* address = library.symbol(#name);                                                               \
        api.name = reinterpret_cast<decltype(api.name)>(address);                                            \
        complete = complete && address != nullptr;                                                           \
    }
    QVMB_RAW_FUNCTIONS(QVMB_RAW_RESOLVE)
#undef QVMB_RAW_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    return api;
}

} // namespace

const RawApi* RawApi::load() {
    static const std::optional<RawApi> api = resolve();
    return api ? &*api : nullptr;
}
