#include "browser/QVMovieView.h"

#include "platform/media/MpvPlayer.h"
#include "platform/media/MpvVideoWidget.h"

#include <QPainter>

bool QVMovieView::drawsVideo() {
    return MpvVideoWidget::isSupported();
}

std::unique_ptr<MoviePlayer> QVMovieView::makePlayer(const QUrl& url, const QByteArray& audioOutput) {
    MpvPlayer::Options options;
    options.audioOutput = audioOutput;
    options.videoOutput = drawsVideo() ? QByteArrayLiteral("libmpv") : QByteArrayLiteral("null");
    options.streams = true; // the list hands over only a media server's streams
    return MpvPlayer::create(url, options);
}

void QVMovieView::prepareHost(QWidget* host) {
    if (host == nullptr || !drawsVideo()) {
        return;
    }
    static const char* const marker = "qvmb-movie-host-prepared";
    if (host->property(marker).toBool()) {
        return;
    }
    host->setProperty(marker, true);
    // A hidden OpenGL child is enough for the window to be made for OpenGL composition.
    auto* probe = new MpvVideoWidget(host);
    probe->setObjectName(QStringLiteral("QVMovieViewHostProbe"));
    probe->hide();
}

QVMovieView::QVMovieView(const QRect& frame, QWidget* parent)
    : QWidget(parent) {
    // Clicks and drags go to the view underneath, as if the movie were not there.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Every pixel is drawn here: nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(frame);
    if (drawsVideo()) {
        _video = new MpvVideoWidget(this);
        _video->setGeometry(rect());
        _video->setReadyHandler([this] {
            if (_playWhenReady) {
                _playWhenReady = false;
                play();
            }
        });
    }
}

QVMovieView::~QVMovieView() {
    releaseMovie();
}

void QVMovieView::setMovie(std::unique_ptr<MoviePlayer> movie) {
    releaseMovie();
    _movie = std::move(movie);
    if (_video) {
        _video->setPlayer(_movie.get());
    }
}

void QVMovieView::play() {
    if (!_movie) {
        return;
    }
    // mpv must find its renderer when it opens the file, or it shows no
    // picture: a visible view waits for its first OpenGL set-up.
    if (_video && _video->waitsForRenderer() && _video->isVisible() && !size().isEmpty()) {
        _playWhenReady = true;
        return;
    }
    _movie->play();
}

void QVMovieView::pause() {
    _playWhenReady = false;
    if (_movie) {
        _movie->stop();
    }
}

void QVMovieView::releaseMovie() {
    _playWhenReady = false;
    if (_video) {
        // The renderer goes before its player.
        _video->setPlayer(nullptr);
    }
    if (_movie) {
        _movie->stop();
        _movie.reset();
    }
}

int QVMovieView::framesDrawn() const {
    return _video ? _video->framesDrawn() : 0;
}

QImage QVMovieView::grabPicture() {
    return _video ? _video->grabFramebuffer() : grab().toImage();
}

void QVMovieView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void QVMovieView::resizeEvent(QResizeEvent*) {
    if (_video) {
        _video->setGeometry(rect());
    }
}
