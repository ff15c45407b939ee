#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The user's darktable library in the pictures tree (see DarktableReader).
class DarktableFolder : public CatalogueFolder {
public:
    // Adds "darktable" to the pictures root when the user has a darktable library.
    static void addToRoots(const CatalogueRoots& roots);

    // The library database, or a null string when there is none.
    static QString libraryPath();
    // The directory of darktable's cached thumbnails of library that suit the
    // grid's cells, or a null string.
    static QString thumbnailDirectory(const QString& library);

    DarktableFolder(const QString& name, const QString& library);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override;

private:
    QString _library;
    QString _data;
    QString _thumbnails;
};
