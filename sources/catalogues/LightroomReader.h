#pragma once

#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"
#include "sources/catalogues/ForeignPaths.h"

#include <QString>

// Reads a Lightroom Classic catalogue (".lrcat", SQLite): its pictures (or
// its videos) by capture time, and groups for the folders (by root folder and
// path), the collections and collection sets, the keyword tree and the picks.
// Rejected pictures are left out; smart collections, whose rules only
// Lightroom evaluates, too. Root folders named by another system's paths are
// found through the mounts (ForeignPaths); a root that is not found keeps its
// pictures, in a folder marked offline. A picture's thumbnail is the preview
// Lightroom keeps of it in the catalogue's previews folder, where it has one.
namespace LightroomReader {

enum class Media { Pictures, Videos };

CatalogueContents read(const QString& catalogue, Media media, const ForeignPaths& paths,
                       LoadProgress& progress);

} // namespace LightroomReader
