#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"
#include "sources/catalogues/DigikamReader.h"

#include <QString>

// The user's digiKam collection: its images in the pictures tree, its videos
// in the movies tree, as DigikamReader reads them.
class DigikamFolder : public CatalogueFolder {
public:
    using Media = DigikamReader::Media;

    // Adds "digiKam" to the pictures and movies roots when the user has a
    // digiKam database.
    static void addToRoots(const CatalogueRoots& roots);

    // The SQLite database digiKam's settings name ("Database Name" in
    // digikamrc), or "~/Pictures/digikam4.db"; a null string when it does not exist.
    static QString databasePath();

    DigikamFolder(const QString& name, const QString& database, Media media);

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }

private:
    QString _database;
    Media _media;
};
