#pragma once

#include "platform/Export.h"
#include "platform/media/ThumbnailCache.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// Making the pictures the grid draws, at the size they are drawn, from the
// cheapest source that is good enough: a fresh entry of the desktop's
// thumbnail cache, then a preview the file carries (a JPEG's EXIF thumbnail
// or Multi-Picture preview, a HEIF thumbnail, a RAW's preview) at least as
// large as the cell, and only then the picture itself, decoded scaled.
// Every function here keeps no state and may run on any thread: the grid
// makes its pictures on a thread pool (qvmb-thumbnail calls the exported ones).
namespace ThumbnailDecoder {

enum class Source { None, Cache, Preview, Picture };

struct Thumbnail {
    // The picture as shown, fitted into the bound asked for; null when it
    // cannot be made.
    QImage image;
    // The picture's size as shown (turned upright); empty when the file is
    // not a picture that can be read.
    QSize uprightSize;
    Source source = Source::None;
    // A new entry for the shared cache, when one is worth writing: the
    // picture at its size class. Stored by storeInCache, when the caller
    // has time for it.
    QImage forCache;
    std::optional<ThumbnailCache::SizeClass> sizeClass;
    ThumbnailCache::Stamp stamp;
    QString path;
};

// The picture at path fitted into bound (device pixels), keeping its shape;
// when bound already has the picture's shape (within a pixel), exactly bound.
// Reads everything it needs itself, the header included: the caller need not
// know the picture's size. A picture that cannot be decoded is recorded in
// the cache's failures (once it has settled, see ThumbnailCache::isSettled) and is not decoded
// again while it stays so.
Thumbnail make(const QString& path, QSize bound);
// Writes the thumbnail's cache entry, if it has one; answers whether it did.
bool storeInCache(const Thumbnail& thumbnail);

// The picture's size as shown, that is turned upright by its EXIF orientation,
// read from the file's header alone; an empty size when the file is not a
// picture the image readers decode.
QSize uprightSize(const QString& path);

// The picture made to exactly box pixels (see make; originalSize is not needed
// and kept for callers that have it). Null when the file cannot be read.
QImage decode(const QString& path, QSize box, QSize originalSize = {});

// A picture held in memory (one fetched from a media server), decoded to fit
// within box pixels keeping its shape (never enlarged), upright, with the
// same guards against pictures that claim too much memory as files get.
// Null when the bytes are no picture the image readers decode.
QImage decodeData(const QByteArray& data, QSize box);

// The size of a picture of size upright fitted into bound, as the grid rounds it.
QSize fitted(QSize upright, QSize bound);

} // namespace ThumbnailDecoder
