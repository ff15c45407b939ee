#pragma once

#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>

// Reads a darktable library: its pictures by film roll and file name, and
// groups for the film rolls, the tag tree (tag names from the data database),
// the colour labels and the star ratings. Rejected pictures are left out.
// Pictures draw darktable's own cached thumbnails where it holds them.
// Every schema from darktable 1.x's on reads: columns are looked up, not assumed.
namespace DarktableReader {

// The colour labels, in darktable's numbering (0 red ... 4 purple).
constexpr int colourLabelCount = 5;

// library: library.db; data: data.db, where later versions keep the tag
// names (a null string: none, tags are then looked for in the library);
// mipmaps: the directory of cached thumbnails of one size (a null string: none).
CatalogueContents read(const QString& library, const QString& data, const QString& mipmaps,
                       LoadProgress& progress);

} // namespace DarktableReader
