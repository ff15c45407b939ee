#pragma once

#include "iconview/IconImage.h"
#include "iconview/ThumbnailDecoder.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>

#include <deque>
#include <list>
#include <memory>
#include <optional>

// Makes the pixels of file images on a thread pool (ThumbnailDecoder::make),
// in the order they were first drawn (so the cells on screen come first), at
// most one picture per thread at a time. A queued request is dropped when, as
// its turn comes, no view still shows its image or the image is gone. Results
// come back on the main thread, which stores them in the image and announces
// imageReady; the main thread never opens a picture file. Entries for the
// shared thumbnail cache are written on the pool once no picture is waiting
// (at most kPendingWrites wait; beyond that they are not written).
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    // The process's loader, owned by the application object.
    static ThumbnailLoader* instance();

    explicit ThumbnailLoader(QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    // Queues the decoding of image at its wanted size, unless it is already
    // queued or running; owner's stillWanted replaces any earlier one of owner.
    void request(const IconImagePtr& image, const void* owner, const IconImage::StillWanted& stillWanted);

    // A picture file that changed this recently may still be being written
    // (saved, or copied in from a camera or a network share, while its folder
    // already lists it): what cannot be read of it yet is read again later.
    static constexpr int settleMs = 5000;
    static constexpr int retryMs = 400;
    // After retryMs, has image read afresh: its size and pixels are asked for
    // again and the views showing it redraw it (imageReady). Once per wait.
    void retryLater(const IconImagePtr& image);

    int queuedCount() const { return static_cast<int>(_queue.size()); }
    int runningCount() const { return _running; }
    // Cache entries waiting to be written, and written so far.
    int pendingWrites() const { return static_cast<int>(_writes.size()); }
    int writtenCount() const { return _written; }
    static constexpr std::size_t kPendingWrites = 64;
    void setMaxThreadCount(int count);
    int maxThreadCount() const { return _pool.maxThreadCount(); }

Q_SIGNALS:
    // image has new pixels (or failed to decode); views showing it redraw it.
    void imageReady(IconImage* image);

private:
    struct Request {
        std::weak_ptr<IconImage> image;
        QHash<const void*, IconImage::StillWanted> wanted;
    };

    void startMore();
    // changed: when the file had last changed as its decoding began.
    void finished(const std::weak_ptr<IconImage>& image, const ThumbnailDecoder::Thumbnail& thumbnail,
                  std::optional<qint64> changed);
    // Decodes image again if its file changes within the settling time after
    // changed (a picture read while still being written may come out with
    // its end missing).
    void followWhileWritten(const IconImagePtr& image, qint64 changed);

    std::list<Request> _queue;
    QHash<const IconImage*, std::list<Request>::iterator> _queued;
    std::deque<ThumbnailDecoder::Thumbnail> _writes;
    int _running = 0;
    int _written = 0;
    QThreadPool _pool;
};
