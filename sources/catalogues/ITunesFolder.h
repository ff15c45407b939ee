#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

#include <memory>

class ITunesFolder;
using ITunesFolderPtr = std::shared_ptr<ITunesFolder>;

// The user's iTunes library in the music or movies tree, as ITunesReader
// reads it: once loaded, its files are the tracks of the library's master
// playlist and its sub-folders the playlists. In the movies tree only tracks
// with video are admitted and playlists left without tracks are dropped.
class ITunesFolder : public CatalogueFolder {
public:
    // A folder for the catalogue at pList ("~" expanded); null when no file exists there.
    static ITunesFolderPtr create(const QString& name, const QString& pList, bool includeEmpty,
                                  bool videoOnly);

    ITunesFolder(const QString& name, const QString& expandedPList, bool includeEmpty, bool videoOnly);

    // Adds the folders "iTunes" for the user's iTunes library when a file
    // exists where the library keeps its catalogue: to the music root (empty
    // playlists kept), then to the movies root (video tracks only).
    static void addToRoots(const CatalogueRoots& roots);

    QString pList() const { return _pList; }
    bool includeEmpty() const { return _includeEmpty; }
    bool videoOnly() const { return _videoOnly; }

    CatalogueReader catalogueReader() const override;
    // iTunes saves its catalogue by writing a new file over it.
    QStringList catalogueFiles() const override { return {_pList}; }

private:
    QString _pList;
    bool _includeEmpty;
    bool _videoOnly;
};
