#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"
#include "sources/catalogues/StrawberryReader.h"

#include <QString>

// The user's Strawberry or Clementine collection: its songs in the music
// tree, the video files among them in the movies tree, as StrawberryReader
// reads them.
class StrawberryFolder : public CatalogueFolder {
public:
    using Media = StrawberryReader::Media;

    // Adds "Strawberry" and "Clementine" to the music and movies roots, each
    // when the user has its database.
    static void addToRoots(const CatalogueRoots& roots);

    static QString strawberryDatabase(); // a null string when there is none
    static QString clementineDatabase();

    StrawberryFolder(const QString& name, const QString& database, Media media);

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }

private:
    QString _database;
    Media _media;
};
