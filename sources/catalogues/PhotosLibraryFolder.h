#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"
#include "sources/catalogues/PhotosLibraryReader.h"

#include <QString>
#include <QStringList>

// A Photos library bundle: its pictures in the pictures tree and its videos
// in the movies tree (see PhotosLibraryReader), named after the bundle.
class PhotosLibraryFolder : public CatalogueFolder {
public:
    // Adds a folder to the pictures and movies roots for each library found.
    static void addToRoots(const CatalogueRoots& roots);
    // The libraries (".photoslibrary" bundles holding a store) in "~/Pictures"
    // and in the user's picture folders.
    static QStringList libraryPaths();

    PhotosLibraryFolder(const QString& name, const QString& bundle, PhotosLibraryReader::Media media);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override {
        return databaseFiles(PhotosLibraryReader::databaseOf(_bundle));
    }

private:
    QString _bundle;
    PhotosLibraryReader::Media _media;
};
