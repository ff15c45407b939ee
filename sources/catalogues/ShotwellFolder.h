#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"
#include "sources/catalogues/ShotwellReader.h"

#include <QString>

// The user's Shotwell library: its photos in the pictures tree, its videos in
// the movies tree, as ShotwellReader reads them.
class ShotwellFolder : public CatalogueFolder {
public:
    using Media = ShotwellReader::Media;

    // Adds "Shotwell" to the pictures and movies roots when the user has a
    // Shotwell database.
    static void addToRoots(const CatalogueRoots& roots);

    // The database of the user's library, or a null string when there is none.
    static QString databasePath();
    // The directory of cached thumbnails in use, or a null string.
    static QString thumbnailDirectory();

    ShotwellFolder(const QString& name, const QString& database, const QString& thumbnails, Media media);

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }

private:
    QString _database;
    QString _thumbnails;
    Media _media;
};
