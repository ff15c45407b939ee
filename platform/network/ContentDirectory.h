#pragma once

#include "platform/system/LoadProgress.h"

#include <QSize>
#include <QString>
#include <QUrl>

#include <vector>

// One object of a media server's container: a container (a folder) or an
// item (a picture, a track, a movie...), with what the server says of it.
struct ServerObject {
    bool isContainer = false;
    QString id;
    QString title;
    QString upnpClass;
    QString artist;
    QString album;
    qint64 durationMs = -1; // -1 when unknown
    QSize resolution;       // empty when unknown
    qint64 size = -1;       // bytes; -1 when unknown
    QUrl url;               // what plays or shows; empty when the server gave none fit to open
    QString mime;
    QUrl thumbnail;         // the server's thumbnail or album art; empty when none
    qint64 childCount = -1; // as the server reports it; -1 when unknown
};

// A page of a media server's container, asked for through the network helper.
struct ServerPage {
    bool ok = false;
    QString failure;         // why not, when not ok
    qint64 totalMatches = 0; // as the server reports it (often wrong while it scans)
    std::vector<ServerObject> objects;
};

// Browsing and searching media servers' content directories, from a
// loader's thread (each call waits for the server's answer). Every URL the
// helper passes on is checked again here: http or https on the server's own
// host, or dropped.
namespace ContentDirectory {

// The children of objectId from start, at most count of them (as many as
// the server returns); serverHost decides which URLs are kept.
ServerPage browse(const QString& udn, const QString& serverHost, const QString& objectId, unsigned start,
                  unsigned count, LoadProgress& progress);

// The objects below containerId that meet criteria (UPnP search syntax).
ServerPage search(const QString& udn, const QString& serverHost, const QString& containerId,
                  const QString& criteria, unsigned start, unsigned count, LoadProgress& progress);

// Whether url may be opened for a server on serverHost.
bool isAllowedUrl(const QUrl& url, const QString& serverHost);

// The search criteria for the items of a kind: "pictures", "music" or "movies" by UPnP class.
QString criteriaForClass(const QString& upnpClassPrefix);

} // namespace ContentDirectory
