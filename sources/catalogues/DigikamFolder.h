#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The user's digiKam collection: in the pictures tree its images, in the
// movies tree its videos, each listed by album and name, with the albums as
// sub-folders nested as their folders are, then "Tags" with the tag tree
// (folders without such items are left out). Album roots on volumes that are
// not mounted are left out, and so are hidden and trashed images.
class DigikamFolder : public CatalogueFolder {
public:
    enum class Media { Pictures, Movies };

    // Adds "digiKam" to the pictures and movies roots when the user has a
    // digiKam database.
    static void addToRoots(const CatalogueRoots& roots);

    // The SQLite database digiKam's settings name ("Database Name" in
    // digikamrc), or "~/Pictures/digikam4.db"; a null string when it does not exist.
    static QString databasePath();

    DigikamFolder(const QString& name, const QString& database, Media media);

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }
    static CatalogueContents read(const QString& database, Media media);

    // Where an album root lies, from its identifier and specific path: a
    // "volumeid:?path=" root at that path, a "volumeid:?uuid=" root below the
    // mount point of that volume. A null string when it is not available.
    static QString albumRootPath(const QString& identifier, const QString& specificPath);

private:
    QString _database;
    Media _media;
};
