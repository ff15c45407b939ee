#include "sources/network/NetworkItems.h"

#include "platform/network/ContentDirectory.h"
#include "platform/system/Path.h"

#include <limits>

namespace {

// A name for an item the server gave no title: its URL's last component.
QString titleOr(const QString& title, const QUrl& url) {
    if (!title.trimmed().isEmpty()) {
        return title;
    }
    return Path::deletingExtension(url.fileName());
}

ServerItemDetails detailsFrom(const ServerObject& object) {
    ServerItemDetails details;
    details.objectId = object.id;
    details.album = object.album;
    details.durationMs = object.durationMs;
    details.resolution = object.resolution;
    details.size = object.size;
    details.mime = object.mime;
    details.thumbnail = object.thumbnail;
    return details;
}

quint32 lengthInSeconds(qint64 durationMs) {
    if (durationMs < 0) {
        return QVTrack::UnknownLength;
    }
    // To the nearest second: servers measure a little differently than the
    // file's own header says.
    return static_cast<quint32>(
        std::min<qint64>((durationMs + 500) / 1000, std::numeric_limits<quint32>::max() - 1));
}

} // namespace

NetworkPhoto::NetworkPhoto(const QString& title, const QUrl& url, ServerItemDetails details)
    : Photo(title, QString(), QString(), QString())
    , _url(url)
    , _details(std::move(details)) {
}

std::size_t NetworkPhoto::contentHash() const {
    return qHashMulti(2, _url, _details.thumbnail, _details.objectId);
}

NetworkTrack::NetworkTrack(const QString& title, const QString& artist, const QUrl& url,
                           ServerItemDetails details)
    : QVTrack(title, artist, lengthInSeconds(details.durationMs), url)
    , _details(std::move(details)) {
}

NetworkMovie::NetworkMovie(const QString& title, const QUrl& url, ServerItemDetails details)
    : QVMovie(url, title)
    , _details(std::move(details)) {
}

namespace NetworkItems {

MediaItemPtr itemFor(const ServerObject& object, int type) {
    if (object.isContainer || object.url.isEmpty()) {
        return nullptr;
    }
    const QString title = titleOr(object.title, object.url);
    switch (type) {
    case 0:
        if (object.upnpClass.startsWith(QLatin1String("object.item.imageItem"))) {
            return std::make_shared<NetworkPhoto>(title, object.url, detailsFrom(object));
        }
        break;
    case 1:
        if (object.upnpClass.startsWith(QLatin1String("object.item.audioItem"))) {
            return std::make_shared<NetworkTrack>(title, object.artist, object.url, detailsFrom(object));
        }
        break;
    case 2:
        if (object.upnpClass.startsWith(QLatin1String("object.item.videoItem"))) {
            return std::make_shared<NetworkMovie>(title, object.url, detailsFrom(object));
        }
        break;
    default:
        break;
    }
    return nullptr;
}

const ServerItemDetails* detailsOf(const MediaItem& item) {
    if (const auto* photo = dynamic_cast<const NetworkPhoto*>(&item)) {
        return &photo->details();
    }
    if (const auto* track = dynamic_cast<const NetworkTrack*>(&item)) {
        return &track->details();
    }
    if (const auto* movie = dynamic_cast<const NetworkMovie*>(&item)) {
        return &movie->details();
    }
    return nullptr;
}

} // namespace NetworkItems
