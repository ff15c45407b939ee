#pragma once

#include "model/MediaFolder.h"

#include <QImage>
#include <QString>

#include <memory>

class IPhotoFolder;
using IPhotoFolderPtr = std::shared_ptr<IPhotoFolder>;

// The user's iPhoto library in the pictures tree. Once loaded, its files are
// the photos of the library's master album and its sub-folders are all albums
// of the catalogue, in the catalogue's order; an album and the library folder
// share each photo object. The catalogue is read once, on first use.
class IPhotoFolder : public MediaFolder {
public:
    // A folder for the catalogue at pList ("~" expanded); null when no file exists there.
    static IPhotoFolderPtr create(const QString& name, const QString& pList);

    IPhotoFolder(const QString& name, const QString& expandedPList);

    QString pList() const { return _pList; }

protected:
    void loadFolder() override;
    // Expandable before loading, without reading the file.
    bool loadExpandable() override { return true; }

private:
    QString _pList;
    // The album icons as registered when this folder was made: the shared
    // table's "library" entry may be replaced by another library folder later.
    QImage _albumIcon;
    QImage _smartAlbumIcon;
    QImage _libraryIcon;
    QImage _rollIcon;
    QImage _calendarIcon;
};
