#include "platform/media/MpvPlayer.h"

#include "platform/media/MpvApi.h"
#include "platform/system/FileSystem.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"

#include <QMetaObject>

#include <clocale>

std::unique_ptr<MpvPlayer> MpvPlayer::create(const QUrl& url) {
    return create(url, Options());
}

std::unique_ptr<MpvPlayer> MpvPlayer::create(const QUrl& url, const Options& options) {
    const QString scheme = url.scheme().toLower();
    const bool stream = options.streams && url.isValid() &&
                        (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
    const QString path = Path::localPath(url);
    // mpv would block on a FIFO; only regular files are played.
    if ((!stream && (path.isEmpty() || !FileSystem::isRegularFile(path))) || MpvApi::load() == nullptr) {
        return nullptr;
    }
    const QByteArray native = stream ? url.toEncoded() : Path::toNative(path);
    // mpv refuses to start unless numbers are formatted the C way; Qt formats
    // its own numbers through QLocale, so this changes nothing else here.
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle* mpv = libmpv().mpv_create();
    if (mpv == nullptr) {
        return nullptr;
    }
    libmpv().mpv_set_option_string(mpv, "config", "no");
    libmpv().mpv_set_option_string(mpv, "terminal", "no");
    libmpv().mpv_set_option_string(mpv, "idle", "yes");
    libmpv().mpv_set_option_string(mpv, "load-scripts", "no");
    libmpv().mpv_set_option_string(mpv, "ytdl", "no");
    libmpv().mpv_set_option_string(mpv, "audio-fallback-to-null", "yes");
    libmpv().mpv_set_option_string(mpv, "audio-display", "no");
    if (!options.audioOutput.isEmpty()) {
        libmpv().mpv_set_option_string(mpv, "ao", options.audioOutput.constData());
    }
    if (!options.videoOutput.isEmpty()) {
        libmpv().mpv_set_option_string(mpv, "vo", options.videoOutput.constData());
    }
    if (stream) {
        // A media server's stream: what it answers is played, never a
        // playlist or reference leading elsewhere (a local file among
        // them), and a server that stops sending ends playback after a while.
        libmpv().mpv_set_option_string(mpv, "access-references", "no");
        libmpv().mpv_set_option_string(mpv, "stream-lavf-o", "protocol_whitelist=[http,https,tcp,tls]");
        libmpv().mpv_set_option_string(mpv, "network-timeout", "15");
    }
    if (libmpv().mpv_initialize(mpv) < 0) {
        libmpv().mpv_terminate_destroy(mpv);
        return nullptr;
    }
    return std::unique_ptr<MpvPlayer>(new MpvPlayer(mpv, url, native, options.videoOutput == "libmpv"));
}

MpvPlayer::MpvPlayer(mpv_handle* mpv, const QUrl& url, const QByteArray& nativePath,
                     bool rendersThroughContext)
    : _mpv(mpv)
    , _url(url)
    , _nativePath(nativePath)
    , _rendersThroughContext(rendersThroughContext)
    , _wakeups(std::make_unique<QObject>())
    , _alive(std::make_shared<bool>(true)) {
    // Called on one of mpv's threads: only queue the draining on the main thread.
    libmpv().mpv_set_wakeup_callback(
        _mpv,
        [](void* data) {
            auto* player = static_cast<MpvPlayer*>(data);
            QMetaObject::invokeMethod(
                player->_wakeups.get(), [player] { player->drainEvents(); }, Qt::QueuedConnection);
        },
        this);
}

MpvPlayer::~MpvPlayer() {
    libmpv().mpv_set_wakeup_callback(_mpv, nullptr, nullptr);
    libmpv().mpv_terminate_destroy(_mpv);
    // _wakeups goes next, taking any queued drain with it.
}

void MpvPlayer::play() {
    libmpv().mpv_set_property_string(_mpv, "pause", "no");
    if (!_loaded) {
        const char* command[] = {"loadfile", _nativePath.constData(), nullptr};
        libmpv().mpv_command(_mpv, command);
        _loaded = true;
    }
    _playing = true;
}

void MpvPlayer::stop() {
    libmpv().mpv_set_property_string(_mpv, "pause", "yes");
    _playing = false;
}

void MpvPlayer::setAudioOnly(bool audioOnly) {
    libmpv().mpv_set_property_string(_mpv, "vid", audioOnly ? "no" : "auto");
    libmpv().mpv_set_property_string(_mpv, "sid", audioOnly ? "no" : "auto");
}

void MpvPlayer::drainEvents() {
    const std::weak_ptr<bool> alive = _alive;
    while (true) {
        const mpv_event* event = libmpv().mpv_wait_event(_mpv, 0);
        if (event->event_id == MPV_EVENT_NONE) {
            return;
        }
        if (event->event_id != MPV_EVENT_END_FILE) {
            continue;
        }
        // A file that fails to load or decode ends as surely as one played
        // through: the list moves on either way. A stop or a replacement
        // started here is no end.
        const auto* end = static_cast<const mpv_event_end_file*>(event->data);
        if (end->reason != MPV_END_FILE_REASON_EOF && end->reason != MPV_END_FILE_REASON_ERROR) {
            continue;
        }
        _playing = false;
        _loaded = false;
        _failed = end->reason == MPV_END_FILE_REASON_ERROR;
        NotificationCenter::defaultCenter().postNotification(QVMovieDidEnd, static_cast<MoviePlayer*>(this));
        // An observer may have destroyed this player.
        if (alive.expired()) {
            return;
        }
    }
}
