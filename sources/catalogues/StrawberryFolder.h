#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The user's Strawberry or Clementine collection (they share one layout): in
// the music tree its songs, in the movies tree the video files among them,
// and in each a sub-folder per playlist with such items, in the order they
// were made. Songs marked unavailable are left out.
class StrawberryFolder : public CatalogueFolder {
public:
    enum class Media { Music, Movies };

    // Adds "Strawberry" and "Clementine" to the music and movies roots, each
    // when the user has its database.
    static void addToRoots(const CatalogueRoots& roots);

    static QString strawberryDatabase(); // a null string when there is none
    static QString clementineDatabase();

    StrawberryFolder(const QString& name, const QString& database, Media media);

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }
    static CatalogueContents read(const QString& database, Media media);

private:
    QString _database;
    Media _media;
};
