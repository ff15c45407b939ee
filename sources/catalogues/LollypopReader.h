#pragma once

#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>

// Reads Lollypop's collection ("lollypop.db") and its playlists (the
// "playlists.db" beside it): tracks with title, artists and length, a group
// per album, and the playlists the user made, in their order, with the
// collection's tracks they hold. Smart playlists, whose rules are queries
// Lollypop runs itself, are left out, and so are tracks from web services.
// Reads every schema since Lollypop stored files by path (before its
// version 13 of the schema) and lengths in seconds (before 40).
namespace LollypopReader {

// playlists: the playlists database, or a null string for none.
CatalogueContents read(const QString& collection, const QString& playlists, LoadProgress& progress);

} // namespace LollypopReader
