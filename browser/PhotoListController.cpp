#include "browser/PhotoListController.h"

#include "browser/RemoteDragData.h"
#include "iconview/IconView.h"
#include "iconview/ThumbnailDecoder.h"
#include "model/Photo.h"
#include "platform/network/RemoteFiles.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"

#include <QMimeData>
#include <QUrl>
#include <QtMath>

#include <cmath>

PhotoListController::PhotoListController(QObject* parent)
    : QVMBListController(parent) {
}

PhotoListController::~PhotoListController() = default;

IconImagePtr PhotoListController::loadImage(const QString& path) {
    if (path.isEmpty()) {
        return nullptr;
    }
    return _imgCache.value(path, [&path] { return IconImage::referencingFile(path); });
}

QUrl PhotoListController::remoteSource(const Photo& photo) {
    return photo.thumbnailUrl().isEmpty() ? photo.url() : photo.thumbnailUrl();
}

bool PhotoListController::showsRemoteImage(const IconImage* image) const {
    if (!_iconView || !_iconView->isVisible()) {
        return false;
    }
    const NSRect visible = _iconView->documentVisibleRect();
    const int first = std::max(0, _iconView->firstIndexInRect(visible));
    const int after = std::min(numItems(), _iconView->indexAfterRect(visible));
    for (int i = first; i < after; ++i) {
        const Photo* photo = photoAt(i);
        if (photo != nullptr && photo->path().isEmpty()) {
            const IconImagePtr* cached = _imgCache.peek(remoteSource(*photo).toString());
            if (cached != nullptr && cached->get() == image) {
                return true;
            }
        }
    }
    return false;
}

IconImagePtr PhotoListController::loadRemoteImage(const Photo& photo) {
    const QUrl url = remoteSource(photo);
    if (!RemoteFiles::isRemote(url)) {
        return nullptr;
    }
    const QString key = url.toString();
    const qreal ratio = _iconView ? _iconView->devicePixelRatioF() : 1.0;
    return _imgCache.value(key, [&url, ratio] {
        // As large as the grid's largest cells draw it, at the screen's pixel ratio.
        const int side = static_cast<int>(kRemotePictureSide * ratio);
        return IconImage::madeFromFile(url.toString(), [url, side, ratio](const QString&) {
            LoadProgress unobserved;
            QImage image = ThumbnailDecoder::decodeData(
                RemoteFiles::fetch(url, RemoteFiles::kMaxPictureBytes, unobserved), QSize(side, side));
            image.setDevicePixelRatio(ratio);
            return image;
        });
    });
}

void PhotoListController::listChanged() {
    // The same folder changing keeps its pictures and the place in it.
    if (isLiveUpdate()) {
        if (_iconView) {
            _iconView->reloadDataInPlace();
        }
        return;
    }
    _imgCache.clear();
    if (_iconView) {
        _iconView->reloadData();
    }
}

Photo* PhotoListController::photoAt(int index) const {
    if (index < 0 || index >= numItems()) {
        return nullptr;
    }
    return dynamic_cast<Photo*>(itemAt(index).get());
}

QString PhotoListController::imageKey(const Photo& photo) {
    return photo.thumbPath() + QChar(0) + QString::number(photo.stamp());
}

int PhotoListController::numberOfItemsInIconView(IconView*) {
    return numItems();
}

int PhotoListController::cacheCapacity() const {
    if (!_iconView || _iconView->imageSize() <= 0) {
        return static_cast<int>(kCachedImages);
    }
    const NSSize slot = _iconView->totalBoundSize();
    const NSRect visible = _iconView->documentVisibleRect();
    // Whole rows on screen, and the one partly shown at each end.
    const int rows = static_cast<int>(std::ceil(visible.size.height / std::max(1.0f, slot.height))) + 1;
    return kScreensKept * 3 * std::max(1, rows);
}

qint64 PhotoListController::cacheBoundBytes() const {
    const qreal ratio = _iconView ? _iconView->devicePixelRatioF() : 1.0;
    const qint64 side = _iconView ? qCeil(_iconView->imageSize() * ratio) : 150;
    return cacheCapacity() * side * side * 4;
}

IconImagePtr PhotoListController::imageForIndex(IconView*, int index) {
    _imgCache.setCapacity(static_cast<std::size_t>(cacheCapacity()));
    Photo* photo = photoAt(index);
    if (photo == nullptr) {
        return nullptr;
    }
    if (photo->path().isEmpty()) {
        IconImagePtr image = loadRemoteImage(*photo);
        // Its size comes with its pixels: the grid asks for the cells it
        // shows, which are fetched first.
        if (image) {
            const QPointer<PhotoListController> self(this);
            const IconImage* raw = image.get();
            image->requestPixels(this, [self, raw] { return self && self->showsRemoteImage(raw); });
        }
        return image;
    }
    // A catalogue's picture on a disk or share that is not here ("smb://…",
    // "C:/…") has no file to draw.
    if (!photo->thumbPath().startsWith(QLatin1Char('/'))) {
        return nullptr;
    }
    const QString path = photo->thumbPath();
    // A catalogue's own thumbnail or preview that cannot be read gives way to the picture.
    const QString fallback =
        path != photo->path() && photo->path().startsWith(QLatin1Char('/')) ? photo->path() : QString();
    return _imgCache.value(imageKey(*photo),
                           [&path, &fallback] { return IconImage::referencingFile(path, fallback); });
}

IconImagePtr PhotoListController::heldImage(int index) const {
    const Photo* photo = photoAt(index);
    if (photo == nullptr || photo->path().isEmpty()) {
        return nullptr;
    }
    const IconImagePtr* image = _imgCache.peek(imageKey(*photo));
    return image != nullptr && *image && !(*image)->pixels().isNull() ? *image : nullptr;
}

QString PhotoListController::labelForIndex(IconView*, int index) {
    Photo* photo = photoAt(index);
    return photo ? photo->name() : QString();
}

std::vector<MediaItem*> PhotoListController::itemsAt(const IndexSet& indexes) const {
    std::vector<MediaItem*> items;
    items.reserve(indexes.size());
    for (int index : indexes) {
        items.push_back(photoAt(index));
    }
    return items;
}

std::unique_ptr<QMimeData> PhotoListController::newPasteboard(IconView* view, const IndexSet& indexes) {
    if (std::unique_ptr<QMimeData> remote =
            RemoteDragData::forDragOf(itemsAt(indexes), view ? view->window() : nullptr)) {
        return remote;
    }
    return IconViewDataSource::newPasteboard(view, indexes);
}

bool PhotoListController::writeRowsWithIndexes(IconView*, const IndexSet& indexes, QMimeData* pasteboard) {
    if (RemoteDragData::takeItems(pasteboard, itemsAt(indexes))) {
        return true;
    }
    QList<QUrl> urls;
    urls.reserve(static_cast<qsizetype>(indexes.size()));
    for (int index : indexes) {
        // Only pictures that are files here are dragged.
        if (Photo* photo = photoAt(index); photo && photo->path().startsWith(QLatin1Char('/'))) {
            urls.append(Path::fileUrl(photo->path()));
        }
    }
    pasteboard->setUrls(urls);
    return true;
}

qsizetype PhotoListController::cacheBytes() const {
    qsizetype bytes = 0;
    for (const auto& [path, image] : _imgCache) {
        bytes += image->byteCount();
    }
    return bytes;
}

std::vector<int> PhotoListController::selectedPositions() const {
    if (!_iconView) {
        return {};
    }
    return {_iconView->selection().begin(), _iconView->selection().end()};
}

void PhotoListController::reselectPositions(const std::vector<int>& positions) {
    if (!_iconView) {
        return;
    }
    _iconView->selection().insert(positions.begin(), positions.end());
    NotificationCenter::defaultCenter().postNotification(IconViewSelectionChanged, _iconView.data());
    _iconView->update();
}
