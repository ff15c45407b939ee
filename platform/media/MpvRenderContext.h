#pragma once

#include <QSize>

#include <functional>
#include <memory>

class MoviePlayer;
class QObject;
struct mpv_render_context;

// Draws the pictures of an mpv player (one made with the video output
// "libmpv") with OpenGL into a framebuffer of the caller's, so that a movie can
// be shown in an ordinary widget without a window of its own. Every call needs
// the OpenGL context the renderer was made in to be current.
class MpvRenderContext {
public:
    // Whether this process can draw with OpenGL at all (false on the
    // offscreen platform). Asked once.
    static bool openGLAvailable();

    // A renderer for player in the current OpenGL context; null when player
    // does not leave its drawing to a renderer or mpv refuses. frameReady runs
    // on the main thread whenever a new picture waits to be drawn. The
    // renderer must go before the player does.
    static std::unique_ptr<MpvRenderContext> create(MoviePlayer* player, std::function<void()> frameReady);

    ~MpvRenderContext();
    MpvRenderContext(const MpvRenderContext&) = delete;
    MpvRenderContext& operator=(const MpvRenderContext&) = delete;

    // Draws the current picture into the framebuffer object fbo of pixels
    // size, upright for a framebuffer whose first row is its bottom one.
    void render(unsigned fbo, const QSize& pixels);

private:
    explicit MpvRenderContext(mpv_render_context* context);

    mpv_render_context* _context;
    // Receives mpv's update calls on the main thread; goes after the context.
    std::unique_ptr<QObject> _updates;
    std::function<void()> _frameReady;
};
