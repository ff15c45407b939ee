#include "platform/media/MpvRenderContext.h"

#include "platform/media/MpvApi.h"
#include "platform/media/MpvPlayer.h"

#include <QByteArray>
#include <QMetaObject>
#include <QObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>

namespace {

void* procAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(QByteArray(name))) : nullptr;
}

} // namespace

bool MpvRenderContext::openGLAvailable() {
    static const bool available = [] {
        QOpenGLContext context;
        if (!context.create()) {
            return false;
        }
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        const bool current = surface.isValid() && context.makeCurrent(&surface);
        if (current) {
            context.doneCurrent();
        }
        return current;
    }();
    return available;
}

std::unique_ptr<MpvRenderContext> MpvRenderContext::create(MoviePlayer* player,
                                                           std::function<void()> frameReady) {
    auto* mpvPlayer = dynamic_cast<MpvPlayer*>(player);
    if (mpvPlayer == nullptr || !mpvPlayer->rendersThroughContext() ||
        QOpenGLContext::currentContext() == nullptr) {
        return nullptr;
    }
    mpv_opengl_init_params glInit{&procAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context* context = nullptr;
    if (libmpv().mpv_render_context_create(&context, mpvPlayer->handle(), params) < 0) {
        return nullptr;
    }
    std::unique_ptr<MpvRenderContext> renderer(new MpvRenderContext(context));
    renderer->_frameReady = std::move(frameReady);
    // Called on one of mpv's threads: only queue the work for the main thread.
    libmpv().mpv_render_context_set_update_callback(
        context,
        [](void* data) {
            auto* self = static_cast<MpvRenderContext*>(data);
            QMetaObject::invokeMethod(
                self->_updates.get(),
                [self] {
                    if ((libmpv().mpv_render_context_update(self->_context) & MPV_RENDER_UPDATE_FRAME) != 0 &&
                        self->_frameReady) {
                        self->_frameReady();
                    }
                },
                Qt::QueuedConnection);
        },
        renderer.get());
    return renderer;
}

MpvRenderContext::MpvRenderContext(mpv_render_context* context)
    : _context(context)
    , _updates(std::make_unique<QObject>()) {
}

MpvRenderContext::~MpvRenderContext() {
    libmpv().mpv_render_context_set_update_callback(_context, nullptr, nullptr);
    libmpv().mpv_render_context_free(_context);
    // _updates goes next, taking any queued update with it.
}

void MpvRenderContext::render(unsigned fbo, const QSize& pixels) {
    mpv_opengl_fbo target{static_cast<int>(fbo), pixels.width(), pixels.height(), 0};
    int flipY = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    libmpv().mpv_render_context_render(_context, params);
}
