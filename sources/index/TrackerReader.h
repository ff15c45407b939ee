#pragma once

#include "platform/system/LoadProgress.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>

// Reads what the desktop's file index (Tracker 3) knows of one kind of
// media: every picture, every song or every video it indexed, with the
// index's titles (and artists and lengths for songs). No file is opened.
namespace TrackerReader {

enum class Media { Pictures, Music, Movies };

// service: the index's D-Bus name. Failed when the index cannot be asked.
CatalogueContents read(const QString& service, Media media, LoadProgress& progress);

} // namespace TrackerReader
