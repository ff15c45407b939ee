#pragma once

#include <mpv/client.h>
#include <mpv/render_gl.h>

// The libmpv functions the player and its renderer call, taken from the
// library at run time (see SharedLibrary.h): libmpv and the two hundred
// libraries it needs come in with the first track or movie played.
#define QVMB_MPV_FUNCTIONS(X)                                                                                \
    X(mpv_command)                                                                                           \
    X(mpv_create)                                                                                            \
    X(mpv_initialize)                                                                                        \
    X(mpv_render_context_create)                                                                             \
    X(mpv_render_context_free)                                                                               \
    X(mpv_render_context_render)                                                                             \
    X(mpv_render_context_set_update_callback)                                                                \
    X(mpv_render_context_update)                                                                             \
    X(mpv_set_option_string)                                                                                 \
    X(mpv_set_property_string)                                                                               \
    X(mpv_set_wakeup_callback)                                                                               \
    X(mpv_terminate_destroy)                                                                                 \
    X(mpv_wait_event)

struct MpvApi {
#define QVMB_MPV_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_MPV_FUNCTIONS(QVMB_MPV_POINTER)
#undef QVMB_MPV_POINTER

    // The functions, loaded on first use; null when libmpv of the client
    // API built against is not installed.
    static const MpvApi* load();
    // The same, once load() has answered them: every mpv handle was made
    // through them.
    static const MpvApi& get() {
        return *load();
    }
};

// The loaded functions, for the player's own files.
inline const MpvApi& libmpv() {
    return MpvApi::get();
}
