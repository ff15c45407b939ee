#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The user's Rhythmbox library in the music tree, as RhythmboxReader reads it.
class RhythmboxFolder : public CatalogueFolder {
public:
    // Adds "Rhythmbox" to the music root when the user has a Rhythmbox database.
    static void addToRoots(const CatalogueRoots& roots);

    // The directory holding the user's "rhythmdb.xml", or a null string.
    static QString libraryDirectory();

    RhythmboxFolder(const QString& name, const QString& database, const QString& playlists);

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return {_database, _playlists}; }

private:
    QString _database;
    QString _playlists;
};
