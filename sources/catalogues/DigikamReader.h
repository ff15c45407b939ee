#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

class LoadProgress;

// Reads a digiKam collection database: its images or its videos, each listed
// by album and name, with the albums as groups nested as their folders are
// (one group per album root when several are available), then "Tags" with
// the tag tree (groups without such items are left out). Album roots on
// volumes that are not mounted are left out, and so are hidden and trashed
// images. Videos are named by their title in digiKam or else their file,
// never opened. Groups carry digiKam's ids ("album-4", "tag-9", "root-2").
class DigikamReader {
public:
    enum class Media { Pictures, Movies };

    DigikamReader(const QString& database, Media media);

    CatalogueContents read(LoadProgress& progress) const;

    // Where an album root lies, from its identifier and specific path: a
    // "volumeid:?path=" root at that path, a "volumeid:?uuid=" root below the
    // mount point of that volume. A null string when it is not available.
    static QString albumRootPath(const QString& identifier, const QString& specificPath);

private:
    QString _database;
    Media _media;
};
