#pragma once

#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>

// Reads Kodi's libraries: the music database ("MyMusicNN.db") gives songs
// with title, artists and length and a group per album; the video database
// ("MyVideosNN.db") gives movies, TV episodes (by show and season) and music
// videos, each in a group of its kind. Files on network shares ("smb://",
// "nfs://") are listed by their URLs; a stacked movie plays from its first part.
namespace KodiReader {

CatalogueContents readMusic(const QString& database, LoadProgress& progress);
CatalogueContents readVideos(const QString& database, LoadProgress& progress);

// The location of a file as Kodi stores it: the folder's path and the file's
// name, or a whole URL in the name ("stack://…" for a movie in parts).
QString location(const QString& folder, const QString& file);

} // namespace KodiReader
