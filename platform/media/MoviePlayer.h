#pragma once

#include <QUrl>

#include <functional>
#include <memory>

// Posted on the default notification centre, on the main thread, with the
// player as object, when playback reaches the end of the movie or stops on a
// file that cannot be loaded or decoded.
extern const char QVMovieDidEnd[];

// Plays one movie or audio file. Lists hold players through this interface so
// that their tests can use a fake one. The object of QVMovieDidEnd is the
// MoviePlayer pointer itself.
class MoviePlayer {
public:
    virtual ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    virtual QUrl url() const = 0;
    // Starts playing, or resumes where stop() left off.
    virtual void play() = 0;
    // Pauses playback, keeping the position.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // With audio only, the movie's video and subtitles are not even decoded.
    virtual void setAudioOnly(bool audioOnly) = 0;
    // Whether the movie ended because its file could not be loaded or decoded.
    virtual bool failed() const { return false; }

protected:
    MoviePlayer() = default;
};

// Makes the player for a file URL; null when the file cannot be played.
using MoviePlayerFactory = std::function<std::unique_ptr<MoviePlayer>(const QUrl& url)>;
