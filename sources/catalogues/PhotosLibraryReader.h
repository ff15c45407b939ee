#pragma once

#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>

// Reads a Photos library bundle (".photoslibrary", its Core Data store
// "database/Photos.sqlite"): its pictures (or its videos) by date, and groups
// for the moments, one per day, and for the albums in their folders. People
// and the application's own albums are left out, and so are trashed and
// hidden items. Originals come from "originals/" ("Masters/" in libraries of
// older releases), thumbnails from the bundle's derivatives where present.
// The tables of assets and albums and the one joining them are named
// differently by each release; they are found from the schema.
namespace PhotosLibraryReader {

enum class Media { Pictures, Videos };

// The store within a bundle.
QString databaseOf(const QString& bundle);

CatalogueContents read(const QString& bundle, Media media, LoadProgress& progress);

} // namespace PhotosLibraryReader
