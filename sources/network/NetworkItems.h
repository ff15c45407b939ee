#pragma once

#include "model/MediaItem.h"
#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"

#include <QSize>
#include <QString>
#include <QUrl>

struct ServerObject;

// What a media server says of an item besides its name and artist.
struct ServerItemDetails {
    QString objectId;
    QString album;
    qint64 durationMs = -1;
    QSize resolution;
    qint64 size = -1;
    QString mime;
    QUrl thumbnail;
};

// The items of a media server: a picture, a track and a movie that live at
// an http URL and carry what the server said of them, so that nothing is
// read to name or measure them. Their URLs passed ContentDirectory's check.
class NetworkPhoto : public Photo {
public:
    NetworkPhoto(const QString& title, const QUrl& url, ServerItemDetails details);
    QUrl url() const override { return _url; }
    QUrl thumbnailUrl() const override { return _details.thumbnail; }
    std::size_t contentHash() const override;
    // By its URL: it has no file.
    QString identity() const override { return _url.toString(); }
    const ServerItemDetails& details() const { return _details; }

private:
    QUrl _url;
    ServerItemDetails _details;
};

class NetworkTrack : public QVTrack {
public:
    NetworkTrack(const QString& title, const QString& artist, const QUrl& url, ServerItemDetails details);
    QUrl thumbnailUrl() const override { return _details.thumbnail; }
    const ServerItemDetails& details() const { return _details; }

private:
    ServerItemDetails _details;
};

class NetworkMovie : public QVMovie {
public:
    NetworkMovie(const QString& title, const QUrl& url, ServerItemDetails details);
    QUrl thumbnailUrl() const override { return _details.thumbnail; }
    const ServerItemDetails& details() const { return _details; }

private:
    ServerItemDetails _details;
};

namespace NetworkItems {

// The item of a tab (0 pictures, 1 music, 2 movies) for a server's object;
// null when the object is of another kind, or has nothing that could play or show.
MediaItemPtr itemFor(const ServerObject& object, int type);

// The details of one of these items; null for any other item.
const ServerItemDetails* detailsOf(const MediaItem& item);

} // namespace NetworkItems
