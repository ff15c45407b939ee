#pragma once

#include <QVMediaBrowser/Export.h>
#include <QVariantMap>

// Keys of the user's three folder lists in the library's preferences: each
// value is an ordered list of folder paths, which may begin with "~".
QVMB_EXPORT extern const char PicturePathsKey[]; // "PicturePaths"
QVMB_EXPORT extern const char MusicPathsKey[];   // "MusicPaths"
QVMB_EXPORT extern const char MoviePathsKey[];   // "MoviePaths"
// Whether thumbnails made for the grid are written to the desktop's shared
// thumbnail cache (~/.cache/thumbnails) for this and other programs to reuse:
// a boolean, true when not stored.
QVMB_EXPORT extern const char WriteThumbnailCacheKey[]; // "WriteThumbnailCache"

// A new map of the three keys to their default one-folder lists: "~/Pictures",
// "~/Music" and "~/Movies".
QVMB_EXPORT QVariantMap Defaults();
