#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The user's Rhythmbox library in the music tree: every song and downloaded
// podcast episode of its database, in the database's order, and a sub-folder
// per static playlist and per automatic playlist with a simple query (see
// RhythmboxAutoPlaylist) in the playlists file's order. Internet radio,
// podcast episodes without a local file and ignored entries are not tracks;
// other automatic playlists and the play queue are left out.
class RhythmboxFolder : public CatalogueFolder {
public:
    // Adds "Rhythmbox" to the music root when the user has a Rhythmbox database.
    static void addToRoots(const CatalogueRoots& roots);

    // The directory holding the user's "rhythmdb.xml", or a null string.
    static QString libraryDirectory();

    RhythmboxFolder(const QString& name, const QString& database, const QString& playlists);

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return {_database, _playlists}; }
    static CatalogueContents read(const QString& database, const QString& playlists);

private:
    QString _database;
    QString _playlists;
};
