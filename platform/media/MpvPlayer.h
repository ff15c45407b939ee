#pragma once

#include "platform/media/MoviePlayer.h"

#include <QByteArray>
#include <QObject>

#include <memory>

struct mpv_handle;

// A MoviePlayer on libmpv. mpv decodes and plays on its own threads; its
// events are drained on the main thread, where the end of the movie is posted.
class MpvPlayer final : public MoviePlayer {
public:
    struct Options {
        // mpv's audio output; empty for the default, falling back to no sound
        // when there is no sound device. "null" in tests.
        QByteArray audioOutput;
        // mpv's video output: "null" decodes without showing, "libmpv" leaves
        // drawing to a render context that a view creates on handle().
        QByteArray videoOutput = "null";
        // Whether an http or https URL may be played: a media server's
        // stream, which only the lists' own items of such servers ask for.
        bool streams = false;
    };

    // A player for the file at url, or (with Options::streams) the stream of
    // a media server at an http or https URL; null when url is neither, or
    // mpv cannot be started. Nothing plays until play().
    static std::unique_ptr<MpvPlayer> create(const QUrl& url, const Options& options);
    static std::unique_ptr<MpvPlayer> create(const QUrl& url);

    ~MpvPlayer() override;

    QUrl url() const override { return _url; }
    void play() override;
    void stop() override;
    bool isPlaying() const override { return _playing; }
    void setAudioOnly(bool audioOnly) override;
    bool failed() const override { return _failed; }

    // The mpv client, for a render context drawing the video in a view.
    mpv_handle* handle() const { return _mpv; }
    // Whether the player was made with the video output "libmpv".
    bool rendersThroughContext() const { return _rendersThroughContext; }

private:
    MpvPlayer(mpv_handle* mpv, const QUrl& url, const QByteArray& nativePath, bool rendersThroughContext);
    void drainEvents();

    mpv_handle* _mpv;
    QUrl _url;
    QByteArray _nativePath;
    bool _loaded = false;
    bool _playing = false;
    bool _failed = false;
    bool _rendersThroughContext = false;
    // Receives mpv's wake-ups on the main thread; destroyed after mpv, so no
    // wake-up can arrive for a player that is gone.
    std::unique_ptr<QObject> _wakeups;
    std::shared_ptr<bool> _alive;
};
