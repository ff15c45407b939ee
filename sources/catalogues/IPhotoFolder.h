#pragma once

#include "model/SourceFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QImage>
#include <QString>

#include <memory>

class IPhotoFolder;
using IPhotoFolderPtr = std::shared_ptr<IPhotoFolder>;

// The user's iPhoto library in the pictures tree. Once loaded, its files are
// the photos of the library's master album and its sub-folders are all albums
// of the catalogue, in the catalogue's order; an album and the library folder
// share each photo object. The catalogue is read once, on first use.
class IPhotoFolder : public SourceFolder {
public:
    struct AlbumIcons {
        QImage album;
        QImage smartAlbum;
        QImage library;
        QImage roll;
        QImage calendar;
    };

    // A folder for the catalogue at pList ("~" expanded); null when no file exists there.
    static IPhotoFolderPtr create(const QString& name, const QString& pList);

    IPhotoFolder(const QString& name, const QString& expandedPList);

    // Adds the folder "iPhoto" for the user's iPhoto library to the pictures
    // root, when a file exists where the library keeps its catalogue.
    static void addToRoots(const CatalogueRoots& roots);

    QString pList() const { return _pList; }

protected:
    MediaFolderReader reader() const override;
    // A catalogue saved again is read again.
    SourceWatch::Targets watchTargets() const override { return {{}, {_pList}}; }
    // Expandable before loading, without reading the file.
    bool loadExpandable() override { return true; }

private:
    QString _pList;
    // The album icons as registered when this folder was made: the shared
    // table's "library" entry may be replaced by another library folder later.
    AlbumIcons _icons;
};
