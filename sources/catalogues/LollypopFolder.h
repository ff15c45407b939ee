#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The user's Lollypop music library in the music tree (see LollypopReader).
class LollypopFolder : public CatalogueFolder {
public:
    // Adds "Lollypop" to the music root when the user has Lollypop's collection.
    static void addToRoots(const CatalogueRoots& roots);
    static QString collectionPath(); // a null string when there is none

    LollypopFolder(const QString& name, const QString& collection);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override {
        return databaseFiles(_collection) + databaseFiles(_playlists);
    }

private:
    QString _collection;
    QString _playlists;
};
