#pragma once

#include "model/SourceFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QImage>
#include <QString>

#include <memory>

class ITunesFolder;
using ITunesFolderPtr = std::shared_ptr<ITunesFolder>;

// The user's iTunes library in the music or movies tree. Once loaded, its
// files are the tracks of the library's master playlist and its sub-folders
// are the playlists of the catalogue, in the catalogue's order; a playlist and
// the library folder share each track object. In the movies tree only tracks
// with video are admitted and playlists left without tracks are dropped.
class ITunesFolder : public SourceFolder {
public:
    struct PlaylistIcons {
        QImage library;
        QImage playlist;
        QImage smartPlaylist;
        QImage videos;
        QImage podcasts;
    };

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

protected:
    MediaFolderReader reader() const override;
    // A catalogue saved again is read again.
    SourceWatch::Targets watchTargets() const override { return {{}, {_pList}}; }
    // Expandable before loading, without reading the file.
    bool loadExpandable() override { return true; }

private:
    QString _pList;
    bool _includeEmpty;
    bool _videoOnly;
    // The playlist icons as registered when this folder was made: the shared
    // table's "library" entry may be replaced by another library folder later.
    PlaylistIcons _icons;
};
