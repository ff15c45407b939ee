#include "platform/media/MpvApi.h"

#include "platform/system/SharedLibrary.h"

#include <optional>

namespace {

std::optional<MpvApi> resolve() {
    // The library's major version follows the client API's.
    static const SharedLibrary mpv(
        {QByteArray("libmpv.so.") + QByteArray::number(MPV_CLIENT_API_VERSION >> 16),
         QByteArray("libmpv.so")});
    MpvApi api;
    bool complete = true;
#define QVMB_MPV_RESOLVE(name)                                                                               \
    api.name = reinterpret_cast<decltype(api.name)>(mpv.symbol(#name));                                      \
    complete = complete && api.name != nullptr;
    QVMB_MPV_FUNCTIONS(QVMB_MPV_RESOLVE)
#undef QVMB_MPV_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    return api;
}

} // namespace

const MpvApi* MpvApi::load() {
    static const std::optional<MpvApi> api = resolve();
    return api ? &*api : nullptr;
}
