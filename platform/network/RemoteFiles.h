#pragma once

#include "platform/system/LoadProgress.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// The files of media servers and network shares, as the browser reads them:
// through the network helper, from a worker's thread, never from a local
// path a server named.
namespace RemoteFiles {

// The most bytes a picture fetched for the grid may have.
inline constexpr qsizetype kMaxPictureBytes = 24 << 20;

// Whether url is a media server's or a share's (http, https, smb, sftp...):
// what the browser fetches instead of opening.
bool isRemote(const QUrl& url);
// Whether url is one the player streams itself (http or https).
bool isStreamable(const QUrl& url);

// The file's bytes, at most maxBytes of them (a larger file gives none);
// empty when it cannot be read or progress was cancelled. Waits.
QByteArray fetch(const QUrl& url, qsizetype maxBytes, LoadProgress& progress);

// The name a file fetched for item title should have in the cache: the
// title (made safe as a file name) with the extension of url's file or of
// its MIME type.
QString fileNameFor(const QString& title, const QUrl& url, const QString& mime = QString());

// The folder of the browser's cache that fetched files go to.
QString cacheFolder();

} // namespace RemoteFiles
