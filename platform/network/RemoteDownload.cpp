#include "platform/network/RemoteDownload.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/NetworkHelper.h"
#include "platform/network/RemoteFiles.h"
#include "platform/system/Path.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QThreadPool>

#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr std::chrono::seconds kSilence(60);
constexpr int kPollMs = 50;

} // namespace

// What the worker and the main thread share.
struct RemoteDownload::State : LoadProgress {
    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    std::atomic<bool> failed{false};
    std::atomic<qint64> received{0};
    std::atomic<qint64> total{0};

    bool isCancelled() const override { return cancelled; }
};

RemoteDownload::RemoteDownload(const QUrl& url, const QString& fileName, QObject* parent)
    : QObject(parent)
    , _url(url)
    , _state(std::make_shared<State>()) {
    const QByteArray digest =
        QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha1).toHex().left(16);
    const QString folder = RemoteFiles::cacheFolder() + QLatin1Char('/') + QString::fromLatin1(digest);
    _path = folder + QLatin1Char('/') + fileName;
    connect(&_poll, &QTimer::timeout, this, &RemoteDownload::poll);
    _poll.start(kPollMs);
    if (QFile::exists(_path)) {
        _state->done = true; // fetched whole before
        return;
    }
    if (!RemoteFiles::isRemote(url) || !QDir().mkpath(folder)) {
        _state->failed = true;
        return;
    }
    const std::string part = Path::toNative(_path + QStringLiteral(".part")).toStdString();
    const std::string whole = Path::toNative(_path).toStdString();
    QThreadPool::globalInstance()->start([state = _state, url = url.toEncoded().toStdString(), part, whole] {
        const NetworkHelper::Answer answer = NetworkHelper::shared().request(
            {std::string(HelperProtocol::kDownload), {}, url, part}, *state, kSilence,
            [&state](const HelperProtocol::Message& message) {
                if (message.size() >= 4 && message[0] == HelperProtocol::kProgress) {
                    state->received = std::atoll(message[2].c_str());
                    state->total = std::atoll(message[3].c_str());
                }
            });
        if (answer.ok && !state->cancelled && std::rename(part.c_str(), whole.c_str()) == 0) {
            state->done = true;
        } else {
            ::unlink(part.c_str());
            state->failed = true;
        }
    });
}

RemoteDownload::~RemoteDownload() {
    cancel();
}

void RemoteDownload::cancel() {
    _state->cancelled = true;
}

bool RemoteDownload::isDone() const {
    return _state->done;
}

bool RemoteDownload::hasFailed() const {
    return _state->failed;
}

qint64 RemoteDownload::received() const {
    return _state->received;
}

qint64 RemoteDownload::total() const {
    return _state->total;
}

void RemoteDownload::poll() {
    Q_EMIT progressChanged();
    if (isFinished() && !_told) {
        _told = true;
        _poll.stop();
        Q_EMIT finished();
    }
}
