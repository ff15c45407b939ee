#pragma once

#include <QOpenGLWidget>

#include <functional>
#include <memory>

class MoviePlayer;
class MpvRenderContext;

// Draws the pictures of a player made with the video output "libmpv" with
// OpenGL, composed into its window like any other widget (no window of its
// own). Only for processes where isSupported().
class MpvVideoWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    // Whether OpenGL widgets work in this process: the windowing platform
    // composes them (the offscreen, minimal, VNC and framebuffer platforms do
    // not, even where an OpenGL context can be made) and OpenGL is available.
    static bool isSupported();

    explicit MpvVideoWidget(QWidget* parent = nullptr);
    ~MpvVideoWidget() override;

    // The player whose pictures to draw (not owned); none draws black. The
    // player must not go before it is replaced here.
    void setPlayer(MoviePlayer* player);
    // Whether the player needs this widget's renderer before it opens its file,
    // and the renderer is not there yet.
    bool waitsForRenderer() const;
    // Called once the widget's OpenGL set-up has run (the renderer exists, or
    // cannot be made).
    void setReadyHandler(std::function<void()> ready) { _ready = std::move(ready); }

    int framesDrawn() const { return _framesDrawn; }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void makeRenderer();
    void freeRenderer();

    MoviePlayer* _player = nullptr; // not owned
    std::unique_ptr<MpvRenderContext> _renderer;
    bool _glReady = false;
    std::function<void()> _ready;
    int _framesDrawn = 0;
};
