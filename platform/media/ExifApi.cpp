#include "platform/media/ExifApi.h"

#include "platform/system/SharedLibrary.h"

#include <optional>

namespace {

std::optional<ExifApi> resolve() {
    static const SharedLibrary library({"libexif.so.12"});
    ExifApi api;
    bool complete = true;
#define QVMB_EXIF_RESOLVE(name)                                                                              \
    {                                                                                                        \
        void* address = library.symbol(#name);                                                               \
        api.name = reinterpret_cast<decltype(api.name)>(address);                                            \
        complete = complete && address != nullptr;                                                           \
    }
    QVMB_EXIF_FUNCTIONS(QVMB_EXIF_RESOLVE)
#undef QVMB_EXIF_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    return api;
}

} // namespace

const ExifApi* ExifApi::load() {
    static const std::optional<ExifApi> api = resolve();
    return api ? &*api : nullptr;
}
