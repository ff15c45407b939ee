#pragma once

#include "platform/Export.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Reading pictures for the grid at the size they are drawn (qvmb-thumbnail
// calls the two exported functions). Every function here
// keeps no state and may run on any thread: the grid decodes on a thread pool.
namespace ThumbnailDecoder {

// The picture's size as shown, that is turned upright by its EXIF orientation,
// read from the file's header alone; an empty size when the file is not a
// picture the image readers decode.
QSize uprightSize(const QString& path);

// The picture decoded straight to box pixels (upright, in the box's shape),
// never holding the full-size bitmap when the decoder can scale while it reads.
// A fresh thumbnail of the user's thumbnail cache that is at least as large is
// used instead of the file. originalSize is uprightSize(path). Null when the
// file cannot be read.
QImage decode(const QString& path, QSize box, QSize originalSize);

// A picture held in memory (one fetched from a media server), decoded to fit
// within box pixels keeping its shape (never enlarged), upright, with the
// same guards against pictures that claim too much memory as files get.
// Null when the bytes are no picture the image readers decode.
QImage decodeData(const QByteArray& data, QSize box);

// The file URI of the shared thumbnail cache's naming rule for an absolute path.
QByteArray thumbnailUri(const QString& path);
// A fresh thumbnail of the picture at path from the thumbnail cache (the URI
// and modification time recorded in it match) that is large enough to show at
// box pixels; a null image when there is none.
QImage cachedThumbnail(const QString& path, QSize box, QSize originalSize);

} // namespace ThumbnailDecoder
