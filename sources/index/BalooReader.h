#pragma once

#include "platform/index/BalooIndex.h"
#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>

// Reads what KDE's file index (Baloo) knows of one kind of media: every
// picture, song or video it indexed, in path order. Songs take the title,
// artist, length and album the indexer's extractors found in them (albums as
// groups), videos their title; whatever has none is named after its file.
// No indexed file is opened.
namespace BalooReader {

// Failed when the index cannot be read.
CatalogueContents read(const QString& indexFile, BalooIndex::Type type, LoadProgress& progress);

} // namespace BalooReader
