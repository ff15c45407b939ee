#pragma once

#include "iconview/IconImage.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>

#include <list>
#include <memory>
#include <optional>

// Decodes the pixels of file images on a thread pool, in the order they were
// first drawn (so the cells on screen come first), at most one decode per
// thread at a time. A queued request is dropped when, as its turn comes, no
// view still shows its image or the image is gone. Results come back on the
// main thread, which stores them in the image and announces imageReady.
// Everything but the decoding itself runs on the main thread.
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
    static bool mayStillBeWritten(const QString& path);
    // After retryMs, has image read afresh: its size and pixels are asked for
    // again and the views showing it redraw it (imageReady). Once per wait.
    void retryLater(const IconImagePtr& image);

    int queuedCount() const { return static_cast<int>(_queue.size()); }
    int runningCount() const { return _running; }
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
    void finished(const std::weak_ptr<IconImage>& image, const QImage& pixels, std::optional<qint64> changed);
    // Decodes image again if its file changes within the settling time after
    // changed (a picture read while still being written may come out with
    // its end missing).
    void followWhileWritten(const IconImagePtr& image, qint64 changed);

    std::list<Request> _queue;
    QHash<const IconImage*, std::list<Request>::iterator> _queued;
    int _running = 0;
    QThreadPool _pool;
};
