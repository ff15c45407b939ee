#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

#include <memory>

class ShotwellFolder;
using ShotwellFolderPtr = std::shared_ptr<ShotwellFolder>;

// The user's Shotwell library: in the pictures tree its photos, in the movies
// tree its videos, each listed by exposure time, with a sub-folder per event
// (in that order) and then per tag (by name, nested tags inside their
// parent's folder; groups without such items are left out). Trashed and hidden items are not listed. Photos
// draw Shotwell's own cached thumbnails where they exist. Every schema since Shotwell 0.12 reads: a column a
// version lacks is data not given.
class ShotwellFolder : public CatalogueFolder {
public:
    enum class Media { Photos, Videos };

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
    // Reads the database at path; thumbnails names the directory of cached
    // thumbnails (a null string for none).
    static CatalogueContents read(const QString& database, const QString& thumbnails, Media media);

private:
    QString _database;
    QString _thumbnails;
    Media _media;
};
