#include "iconview/ThumbnailLoader.h"

#include "iconview/ThumbnailDecoder.h"
#include "platform/system/FileSystem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QThread>
#include <QTimer>

ThumbnailLoader* ThumbnailLoader::instance() {
    static QPointer<ThumbnailLoader> loader;
    if (!loader) {
        loader = new ThumbnailLoader(QCoreApplication::instance());
    }
    return loader;
}

ThumbnailLoader::ThumbnailLoader(QObject* parent)
    : QObject(parent) {
    _pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ThumbnailLoader::~ThumbnailLoader() {
    // Decodes still running post their results to this object: let them finish
    // before it goes; the results are then discarded with it.
    _queue.clear();
    _writes.clear();
    _pool.waitForDone();
}

void ThumbnailLoader::setMaxThreadCount(int count) {
    _pool.setMaxThreadCount(std::max(1, count));
    startMore();
}

void ThumbnailLoader::request(const IconImagePtr& image, const void* owner,
                              const IconImage::StillWanted& stillWanted) {
    if (!image || !image->refersToFile()) {
        return;
    }
    if (image->_requested) {
        const auto queued = _queued.constFind(image.get());
        if (queued != _queued.constEnd() && stillWanted) {
            (*queued)->wanted.insert(owner, stillWanted);
        }
        return;
    }
    image->_requested = true;
    Request request;
    request.image = image;
    if (stillWanted) {
        request.wanted.insert(owner, stillWanted);
    }
    _queue.push_back(std::move(request));
    _queued.insert(image.get(), std::prev(_queue.end()));
    startMore();
}

void ThumbnailLoader::startMore() {
    while (_running < _pool.maxThreadCount() && !_queue.empty()) {
        Request request = std::move(_queue.front());
        _queue.pop_front();
        const IconImagePtr image = request.image.lock();
        if (!image) {
            continue;
        }
        _queued.remove(image.get());
        bool wanted = request.wanted.isEmpty();
        for (const IconImage::StillWanted& stillWanted : std::as_const(request.wanted)) {
            if (stillWanted()) {
                wanted = true;
                break;
            }
        }
        if (!wanted) {
            // Scrolled away or hidden: the next draw asks again.
            image->_requested = false;
            continue;
        }
        ++_running;
        const QString path = image->path();
        const QSize box = image->wantedPixels();
        const IconImage::Maker maker = image->_maker;
        const QString fallbackPath = image->_fallbackPath;
        std::weak_ptr<IconImage> weak = image;
        _pool.start([this, path, fallbackPath, box, maker, weak]() {
            // Everything about the file is read here, its size and change time
            // included: the main thread only takes the results.
            const std::optional<qint64> changed = maker ? std::nullopt : FileSystem::changeTime(path);
            ThumbnailDecoder::Thumbnail thumbnail;
            if (maker) {
                thumbnail.image = maker(path);
            } else {
                thumbnail = ThumbnailDecoder::make(path, box);
                if (thumbnail.image.isNull() && !fallbackPath.isEmpty()) {
                    thumbnail = ThumbnailDecoder::make(fallbackPath, box);
                }
            }
            QMetaObject::invokeMethod(
                this,
                [this, weak, thumbnail = std::move(thumbnail), changed]() {
                    finished(weak, thumbnail, changed);
                },
                Qt::QueuedConnection);
        });
    }
    // Cache entries are written when no cell waits for its picture.
    while (_queue.empty() && _running < _pool.maxThreadCount() && !_writes.empty()) {
        ++_running;
        ThumbnailDecoder::Thumbnail thumbnail = std::move(_writes.front());
        _writes.pop_front();
        _pool.start([this, thumbnail = std::move(thumbnail)]() {
            ThumbnailDecoder::storeInCache(thumbnail);
            QMetaObject::invokeMethod(
                this,
                [this]() {
                    --_running;
                    ++_written;
                    startMore();
                },
                Qt::QueuedConnection);
        });
    }
}

namespace {

bool isRecent(qint64 changed) {
    return QDateTime::currentMSecsSinceEpoch() - changed < ThumbnailLoader::settleMs;
}

} // namespace

void ThumbnailLoader::followWhileWritten(const IconImagePtr& image, qint64 changed) {
    QTimer::singleShot(retryMs, this, [this, weak = std::weak_ptr<IconImage>(image), changed]() {
        const IconImagePtr image = weak.lock();
        if (!image) {
            return;
        }
        // The file is looked at on the pool, never on the main thread.
        _pool.start([this, weak, path = image->path(), changed]() {
            const std::optional<qint64> now = FileSystem::changeTime(path);
            QMetaObject::invokeMethod(
                this,
                [this, weak, now, changed]() {
                    const IconImagePtr image = weak.lock();
                    if (!image) {
                        return;
                    }
                    if (now && *now != changed) {
                        image->_sizeRead = false;
                        request(image, nullptr, {}); // its end follows it further
                    } else if (now && isRecent(*now)) {
                        followWhileWritten(image, changed);
                    }
                },
                Qt::QueuedConnection);
        });
    });
}

void ThumbnailLoader::retryLater(const IconImagePtr& image) {
    if (image->_retryPending) {
        return;
    }
    image->_retryPending = true;
    QTimer::singleShot(retryMs, this, [this, weak = std::weak_ptr<IconImage>(image)]() {
        if (const IconImagePtr image = weak.lock()) {
            image->_retryPending = false;
            image->_requested = false;
            image->_sizeRead = false;
            Q_EMIT imageReady(image.get());
        }
    });
}

void ThumbnailLoader::finished(const std::weak_ptr<IconImage>& weak,
                               const ThumbnailDecoder::Thumbnail& thumbnail, std::optional<qint64> changed) {
    --_running;
    const QImage& pixels = thumbnail.image;
    if (!thumbnail.forCache.isNull() && _writes.size() < kPendingWrites) {
        _writes.push_back(thumbnail);
        _writes.back().image = QImage();
    }
    if (const IconImagePtr image = weak.lock()) {
        if (pixels.isNull() && !image->_maker && changed && isRecent(*changed)) {
            retryLater(image); // stays requested until then: draws meanwhile ask nothing
        } else {
            image->receivePixels(pixels, thumbnail.uprightSize);
            Q_EMIT imageReady(image.get());
            if (!pixels.isNull() && changed && isRecent(*changed)) {
                followWhileWritten(image, *changed);
            }
        }
    }
    startMore();
}
