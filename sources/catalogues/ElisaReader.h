#pragma once

#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>

// Reads Elisa's music database: its tracks with title, artist and length,
// and a group per album. Elisa keeps its playlists as files the user saves
// wherever they like, not in the database, so there are none here. Reads
// the layout of today (each track naming its file) and the older one that
// mapped tracks to files in a table of their own.
namespace ElisaReader {

CatalogueContents read(const QString& database, LoadProgress& progress);

} // namespace ElisaReader
