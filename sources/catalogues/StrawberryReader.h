#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

class LoadProgress;

// Reads a Strawberry or Clementine collection database (they share one
// layout): its songs, or the video files among them, and a group per
// playlist with such items, in the order they were made. Songs marked
// unavailable are left out, in the playlists too. Videos are named by their
// title or else their file, never opened. Groups carry the playlists' row ids
// ("playlist-3").
class StrawberryReader {
public:
    enum class Media { Music, Movies };

    StrawberryReader(const QString& database, Media media);

    CatalogueContents read(LoadProgress& progress) const;

private:
    QString _database;
    Media _media;
};
