#include "platform/media/FFmpegApi.h"

#include "platform/system/SharedLibrary.h"

extern "C" {
#include <libavformat/version_major.h>
#include <libswscale/version_major.h>
}

#include <optional>

namespace {

QByteArray soname(const char* library, int major) {
    return QByteArray(library) + ".so." + QByteArray::number(major);
}

std::optional<FFmpegApi> resolve() {
    // libavformat brings in the codec and utility libraries it needs, whose
    // symbols its handle answers too.
    static const SharedLibrary format({soname("libavformat", LIBAVFORMAT_VERSION_MAJOR)});
    static const SharedLibrary scale({soname("libswscale", LIBSWSCALE_VERSION_MAJOR)});
    FFmpegApi api;
    bool complete = true;
#define QVMB_FFMPEG_RESOLVE(name)                                                                            \
    {                                                                                                        \
        void* address = format.symbol(#name);                                                                \
        if (address == nullptr) {                                                                            \
            address = scale.symbol(#name);                                                                   \
        }                                                                                                    \
        api.name = reinterpret_cast<decltype(api.name)>(address);                                            \
        complete = complete && address != nullptr;                                                           \
    }
    QVMB_FFMPEG_FUNCTIONS(QVMB_FFMPEG_RESOLVE)
#undef QVMB_FFMPEG_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    return api;
}

} // namespace

const FFmpegApi* FFmpegApi::load() {
    static const std::optional<FFmpegApi> api = resolve();
    return api ? &*api : nullptr;
}
