#include "browser/ChosenItems.h"

#include "browser/MediaTypeFilter.h"
#include "iconview/ThumbnailDecoder.h"
#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/media/MovieFile.h"
#include "platform/system/Path.h"

namespace {

QVMediaItemInfo describeItem(MediaItem& item) {
    QVMediaItemInfo info;
    const QString path = MediaTypeFilter::filePath(item);
    info.url = Path::fileUrl(path);
    info.name = item.name();
    info.mimeType = MediaTypeFilter::mimeTypeOfFile(path);
    if (dynamic_cast<Photo*>(&item) != nullptr) {
        info.kind = QVMediaItemInfo::Picture;
        const QSize size = ThumbnailDecoder::uprightSize(path);
        if (!size.isEmpty()) {
            info.pixelSize = size;
        }
    } else if (auto* track = dynamic_cast<QVTrack*>(&item)) {
        info.kind = QVMediaItemInfo::Track;
        info.artist = track->artist();
        if (track->length() != QVTrack::UnknownLength) {
            info.durationSeconds = track->length();
        }
    } else if (dynamic_cast<QVMovie*>(&item) != nullptr) {
        info.kind = QVMediaItemInfo::Movie;
        if (const std::unique_ptr<MovieFile> movie = MovieFile::open(path)) {
            info.durationSeconds = movie->durationSeconds();
        }
    }
    return info;
}

} // namespace

QList<QUrl> ChosenItems::urls(const std::vector<MediaItemPtr>& items) {
    QList<QUrl> result;
    for (const MediaItemPtr& item : items) {
        const QString path = MediaTypeFilter::filePath(*item);
        if (!path.isEmpty()) {
            result.append(Path::fileUrl(path));
        }
    }
    return result;
}

QList<QVMediaItemInfo> ChosenItems::describe(const std::vector<MediaItemPtr>& items) {
    QList<QVMediaItemInfo> result;
    for (const MediaItemPtr& item : items) {
        if (!MediaTypeFilter::filePath(*item).isEmpty()) {
            result.append(describeItem(*item));
        }
    }
    return result;
}
