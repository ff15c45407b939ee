#include "platform/media/HeifApi.h"

#include "platform/system/SharedLibrary.h"

#include <optional>

namespace {

std::optional<HeifApi> resolve() {
    static const SharedLibrary library({"libheif.so.1"});
    HeifApi api;
    bool complete = true;
#define QVMB_HEIF_RESOLVE(name)                                                                              \
    {                                                                                                        \
        void* address = library.symbol(#name);                                                               \
        api.name = reinterpret_cast<decltype(api.name)>(address);                                            \
        complete = complete && address != nullptr;                                                           \
    }
    QVMB_HEIF_FUNCTIONS(QVMB_HEIF_RESOLVE)
#undef QVMB_HEIF_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    // Registers the built-in decoders; never undone, like the library's loading.
    if (api.heif_init(nullptr).code != heif_error_Ok) {
        return std::nullopt;
    }
    return api;
}

} // namespace

const HeifApi* HeifApi::load() {
    static const std::optional<HeifApi> api = resolve();
    return api ? &*api : nullptr;
}
