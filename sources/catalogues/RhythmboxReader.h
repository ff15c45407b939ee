#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

class LoadProgress;

// Reads a Rhythmbox library: every song and downloaded podcast episode of its
// database ("rhythmdb.xml"), in the database's order, and a group per static
// playlist and per automatic playlist with a simple query (see
// RhythmboxAutoPlaylist) in the playlists file's order. Internet radio,
// podcast episodes without a local file and ignored entries are not tracks;
// other automatic playlists and the play queue are left out. Rhythmbox knows
// its playlists by name only: the groups carry no id.
class RhythmboxReader {
public:
    RhythmboxReader(const QString& database, const QString& playlists);

    // Entries read before a break in the database are kept (each is
    // complete), with the contents marked failed.
    CatalogueContents read(LoadProgress& progress) const;

private:
    QString _database;
    QString _playlists;
};
