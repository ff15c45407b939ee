#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

#include <memory>

class IPhotoFolder;
using IPhotoFolderPtr = std::shared_ptr<IPhotoFolder>;

// The user's iPhoto library in the pictures tree, as IPhotoReader reads it:
// once loaded, its files are the photos of the library's master album and its
// sub-folders all albums of the catalogue.
class IPhotoFolder : public CatalogueFolder {
public:
    // A folder for the catalogue at pList ("~" expanded); null when no file exists there.
    static IPhotoFolderPtr create(const QString& name, const QString& pList);

    IPhotoFolder(const QString& name, const QString& expandedPList);

    // Adds the folder "iPhoto" for the user's iPhoto library to the pictures
    // root, when a file exists where the library keeps its catalogue.
    static void addToRoots(const CatalogueRoots& roots);

    QString pList() const { return _pList; }

    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return {_pList}; }

private:
    QString _pList;
};
