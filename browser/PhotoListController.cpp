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

IconImagePtr PhotoListController::loadRemoteImage(const Photo& photo) {
    const QUrl url = photo.thumbnailUrl().isEmpty() ? photo.url() : photo.thumbnailUrl();
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

int PhotoListController::numberOfItemsInIconView(IconView*) {
    return numItems();
}

IconImagePtr PhotoListController::imageForIndex(IconView*, int index) {
    Photo* photo = photoAt(index);
    if (photo == nullptr) {
        return nullptr;
    }
    if (photo->path().isEmpty()) {
        return loadRemoteImage(*photo); // fetched when a cell first draws it
    }
    return loadImage(photo->thumbPath());
}

QString PhotoListController::labelForIndex(IconView*, int index) {
    Photo* photo = photoAt(index);
    return photo ? photo->name() : QString();
}

std::unique_ptr<QMimeData> PhotoListController::newPasteboard(IconView* view, const IndexSet& indexes) {
    std::vector<MediaItem*> items;
    for (int index : indexes) {
        items.push_back(photoAt(index));
    }
    if (!RemoteDragData::needsFetching(items)) {
        return IconViewDataSource::newPasteboard(view, indexes);
    }
    return std::make_unique<RemoteDragData>(view ? view->window() : nullptr);
}

bool PhotoListController::writeRowsWithIndexes(IconView*, const IndexSet& indexes, QMimeData* pasteboard) {
    if (auto* remote = qobject_cast<RemoteDragData*>(pasteboard)) {
        std::vector<MediaItem*> items;
        for (int index : indexes) {
            items.push_back(photoAt(index));
        }
        remote->setItems(items);
        return true;
    }
    QList<QUrl> urls;
    urls.reserve(static_cast<qsizetype>(indexes.size()));
    for (int index : indexes) {
        if (Photo* photo = photoAt(index); photo != nullptr && !photo->path().isEmpty()) {
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
