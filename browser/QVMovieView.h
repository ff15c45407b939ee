#pragma once

#include "platform/media/MoviePlayer.h"

#include <QWidget>

#include <memory>

class MpvVideoWidget;

// Shows a playing movie in place, inside another view, without controls and
// without a window of its own: the picture is drawn with OpenGL and composed
// over the view underneath, which is not repainted (the movie view is
// opaque). The movie view never takes the mouse: clicks and drags reach the
// view beneath it. Where OpenGL is not available the movie plays without its
// picture over a black box.
class QVMovieView : public QWidget {
    Q_OBJECT
public:
    // Whether movie views can draw pictures in this process; players for them
    // should decode no video when they cannot.
    static bool drawsVideo();
    // The player for url that a movie view shows: an mpv player that leaves
    // its drawing to the view (no video where views cannot draw), sending its
    // sound to audioOutput (empty for the default).
    static std::unique_ptr<MoviePlayer> makePlayer(const QUrl& url, const QByteArray& audioOutput = {});
    // Readies the window of host, which movie views will be laid over, for
    // composing OpenGL pictures. A window takes that up only by being made
    // anew, which repaints all of it: best done once before it is first shown,
    // rather than when the first movie starts.
    static void prepareHost(QWidget* host);

    QVMovieView(const QRect& frame, QWidget* parent);
    ~QVMovieView() override;

    void setMovie(std::unique_ptr<MoviePlayer> movie);
    MoviePlayer* movie() const { return _movie.get(); }
    // Starts the movie, as soon as its pictures can be drawn.
    void play();
    void pause();
    // Stops the movie and lets it go.
    void releaseMovie();

    // Pictures of the movie drawn so far (none without OpenGL), for tests.
    int framesDrawn() const;
    // What the view shows now.
    QImage grabPicture();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<MoviePlayer> _movie;
    MpvVideoWidget* _video = nullptr; // a child, when pictures are drawn
    bool _playWhenReady = false;
};
