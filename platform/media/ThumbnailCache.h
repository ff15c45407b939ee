#pragma once

#include "platform/Export.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// The desktop's shared thumbnail cache (~/.cache/thumbnails, or under
// $XDG_CACHE_HOME), which file managers and photo browsers read and write:
// one PNG per picture and size class, named by the MD5 of the picture's file
// URI, recording that URI and the picture's modification time. A thumbnail
// whose recorded time differs from the file's is stale. Pictures that no
// reader could decode are recorded under fail/qvmediabrowser-1/, so that they
// are not tried again until they change.
//
// Reading never trusts an entry: links, directories, files larger than a
// thumbnail can be and pictures claiming more pixels than their size class
// are passed over without reading them whole, and entries with damaged
// chunks or pixel data are refused (ThumbnailPngReader). Entries are written
// by ThumbnailPngWriter, rows filtered Up: smaller than libpng's adaptive
// choice on photographs and the quickest to undo. Writing goes to a temporary
// file in the same directory, made readable by the user alone, renamed into
// place once complete: a reader, or a second copy of the program writing the
// same entry, sees either the old file or the new one, never half of one.
// Every function may run on any thread.
namespace ThumbnailCache {

// The size classes, smallest first: directory name and longest side.
struct SizeClass {
    const char* directory;
    int side;
};
const SizeClass* sizeClasses(int* count);
// The smallest class whose thumbnails cover box; none beyond the largest.
std::optional<SizeClass> classFor(QSize box);

// The cache's directory, with a trailing slash.
QString root();
// The file URI a picture is recorded under (its path's bytes, escaped).
QByteArray fileUri(const QString& path);
// The entry's file name: the URI's MD5 in hex, then ".png".
QString entryName(const QString& path);
// Whether path lies inside the cache (its pictures are never thumbnailed into it).
bool contains(const QString& path);

// What the cache needs to know of a picture file.
struct Stamp {
    qint64 mtime = 0; // seconds
    qint64 bytes = 0;
};
// The file's stamp, from stat(); none when it is no regular file.
std::optional<Stamp> stampOf(const QString& path);
// Whether the file was modified long enough ago (kSettleSeconds) not to be
// being written still: nothing is recorded for a file that may still change
// within the second its modification time records.
bool isSettled(const Stamp& stamp);
constexpr qint64 kSettleSeconds = 5;

// A fresh thumbnail of the picture at path that covers box (or, for a
// picture no larger than a class, that class's thumbnail whatever box is),
// from the smallest size class that can; a null image when there is none.
// upright is the picture's size as shown, when known; without it (a movie's
// poster, say) an entry whose longest side reaches box's longest is taken.
QImage find(const QString& path, const Stamp& stamp, QSize box, QSize upright = {});

// Whether writing is switched on (the user's preference; on unless told).
bool writingEnabled();
void setWritingEnabled(bool enabled);

// Records thumbnail (the picture as shown, scaled to fit sizeClass's square)
// for the picture at path. Nothing is written when writing is off, when the
// picture lies inside the cache, when it is no larger than the class (it is
// its own thumbnail then), or when it has not settled. Answers whether the
// entry was written.
bool store(const QString& path, const Stamp& stamp, const SizeClass& sizeClass, const QImage& thumbnail,
           QSize upright);

// Whether this program recorded that the picture at path, as it is now,
// cannot be decoded.
bool hasFailure(const QString& path, const Stamp& stamp);
// Records that the picture cannot be decoded (when writing is on).
bool storeFailure(const QString& path, const Stamp& stamp);

// The largest entry read, in bytes: an xx-large thumbnail of noise as PNG.
constexpr qint64 kLargestEntryBytes = 8 * 1024 * 1024;

} // namespace ThumbnailCache
