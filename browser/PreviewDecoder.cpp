#include "browser/PreviewDecoder.h"

#include "iconview/ThumbnailDecoder.h"
#include "platform/media/PictureDetails.h"
#include "platform/media/PictureFile.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"

#include <QMetaObject>

#include <sys/stat.h>

PreviewDecoder::PreviewDecoder(QObject* parent)
    : QObject(parent) {
    // One picture at a time: a user stepping through a folder waits for the
    // last one, not for each one passed.
    _pool.setMaxThreadCount(1);
}

PreviewDecoder::~PreviewDecoder() {
    cancel();
    _pool.waitForDone();
}

QSize PreviewDecoder::fittedBox(QSize size, QSize fit) {
    if (size.isEmpty() || fit.isEmpty()) {
        return {};
    }
    if (size.width() <= fit.width() && size.height() <= fit.height()) {
        return size;
    }
    return size.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

PreviewDecoder::Result PreviewDecoder::decode(const Request& request) {
    Result result;
    result.path = request.path;
    struct stat info {};
    if (::stat(Path::toNative(request.path).constData(), &info) == 0) {
        result.fileBytes = qint64(info.st_size);
        result.modified = QDateTime::fromSecsSinceEpoch(qint64(info.st_mtime));
    }
    result.pictureSize = ThumbnailDecoder::uprightSize(request.path);
    if (result.pictureSize.isEmpty()) {
        result.pictureSize = QSize();
        return result;
    }
    QSize box = request.box.isEmpty() ? result.pictureSize : fittedBox(result.pictureSize, request.box);
    // The whole picture only where it stays within what a picture may take.
    if (!PictureFile::fitsAllocationLimit(box, 4)) {
        box = fittedBox(result.pictureSize, QSize(4096, 4096));
    }
    result.image = ThumbnailDecoder::decode(request.path, box, result.pictureSize);
    result.wholePicture = !result.image.isNull() && result.image.size() == result.pictureSize;
    const PictureDetails::Details details = PictureDetails::read(request.path);
    result.taken = details.taken;
    result.camera = details.camera;
    return result;
}

void PreviewDecoder::request(const Request& request) {
    quint64 generation = 0;
    {
        const std::lock_guard lock(_mutex);
        generation = ++_generation;
        _ready.reset();
    }
    _pool.clear(); // a request still queued is no longer wanted
    _pool.start([this, request, generation] {
        {
            const std::lock_guard lock(_mutex);
            if (generation != _generation) {
                return;
            }
        }
        Result result = decode(request);
        {
            const std::lock_guard lock(_mutex);
            if (generation != _generation) {
                return;
            }
            _ready = std::move(result);
        }
        // Qt's event queue carries only the wake-up; the result waits under our lock.
        QMetaObject::invokeMethod(this, &PreviewDecoder::deliver, Qt::QueuedConnection);
    });
}

void PreviewDecoder::cancel() {
    const std::lock_guard lock(_mutex);
    ++_generation;
    _ready.reset();
}

void PreviewDecoder::deliver() {
    std::optional<Result> result;
    {
        const std::lock_guard lock(_mutex);
        result.swap(_ready);
    }
    if (result) {
        Q_EMIT decoded(*result);
    }
}
