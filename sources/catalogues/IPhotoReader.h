#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

class LoadProgress;

// Reads an iPhoto library catalogue ("AlbumData.xml"), streaming: its items
// are the photos of the library's master album and its groups all albums, in
// the catalogue's order, each of its kind (the master album, film rolls,
// months, smart and other albums) and with its "AlbumId"; an album and the
// items share each photo object. A catalogue copied from another computer
// finds its pictures in the library folder it lies in (see MovedLibrary): the
// "Archive Path" it names is the catalogue's own directory here. An
// unreadable catalogue reads as failed, with nothing.
class IPhotoReader {
public:
    explicit IPhotoReader(const QString& pList);

    CatalogueContents read(LoadProgress& progress) const;

private:
    QString _pList;
};
