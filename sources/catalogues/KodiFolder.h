#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// Kodi's music library in the music tree and its video library in the movies
// tree (see KodiReader), each from the newest of its databases.
class KodiFolder : public CatalogueFolder {
public:
    enum class Media { Music, Videos };

    // Adds "Kodi" to the music and movies roots, each when the user has its database.
    static void addToRoots(const CatalogueRoots& roots);
    // The database of Kodi's newest schema among those named prefix + number
    // + ".db" ("MyMusic82.db"), or a null string.
    static QString databasePath(const QString& prefix);

    KodiFolder(const QString& name, const QString& database, Media media);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }

private:
    QString _database;
    Media _media;
};
