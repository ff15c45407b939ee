#include "platform/media/MpvVideoWidget.h"

#include "platform/media/MpvPlayer.h"
#include "platform/media/MpvRenderContext.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

bool MpvVideoWidget::isSupported() {
    static const bool supported = [] {
        const QString platform = QGuiApplication::platformName();
        for (const char* without : {"offscreen", "minimal", "minimalegl", "vnc", "linuxfb"}) {
            if (platform == QLatin1String(without)) {
                return false;
            }
        }
        return MpvRenderContext::openGLAvailable();
    }();
    return supported;
}

MpvVideoWidget::MpvVideoWidget(QWidget* parent)
    : QOpenGLWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Not marked opaque although it is: Qt composes an OpenGL widget's picture
    // through a hole it cuts in the window's other pixels, and it cuts none for
    // a widget that says it paints every pixel itself. An opaque parent keeps
    // the views beneath from repainting instead.
}

MpvVideoWidget::~MpvVideoWidget() {
    // The context goes in the base's destructor, when this part is gone already.
    if (context() != nullptr) {
        disconnect(context(), nullptr, this, nullptr);
    }
    freeRenderer();
}

void MpvVideoWidget::setPlayer(MoviePlayer* player) {
    freeRenderer();
    _player = player;
    if (_glReady && _player) {
        makeCurrent();
        makeRenderer();
        doneCurrent();
    }
    update();
}

bool MpvVideoWidget::waitsForRenderer() const {
    const auto* mpv = dynamic_cast<const MpvPlayer*>(_player);
    return mpv != nullptr && mpv->rendersThroughContext() && !_renderer && !_glReady;
}

void MpvVideoWidget::makeRenderer() {
    if (_player) {
        _renderer = MpvRenderContext::create(_player, [this] { update(); });
    }
}

void MpvVideoWidget::freeRenderer() {
    if (!_renderer) {
        return;
    }
    // The renderer's OpenGL objects go with it: its context must be current.
    const bool haveContext = context() != nullptr && context()->isValid();
    if (haveContext) {
        makeCurrent();
    }
    _renderer.reset();
    if (haveContext) {
        doneCurrent();
    }
}

void MpvVideoWidget::initializeGL() {
    _glReady = true;
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { freeRenderer(); });
    makeRenderer();
    if (_ready) {
        _ready();
    }
}

void MpvVideoWidget::paintGL() {
    if (_renderer) {
        _renderer->render(defaultFramebufferObject(), size() * devicePixelRatio());
        ++_framesDrawn;
        return;
    }
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(0, 0, 0, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
}
