#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

class LoadProgress;

// Reads an iTunes library catalogue ("iTunes Music Library.xml"), streaming:
// its items are the tracks of the library's master playlist and its groups
// the playlists, in the catalogue's order, each of its kind (the master, the
// videos and podcasts playlists, smart and ordinary playlists) and with its
// "Playlist Persistent ID"; a playlist and the items share each track object.
// With videoOnly only tracks with video are admitted; without includeEmpty
// playlists left without tracks are dropped. A catalogue copied from another
// computer finds its tracks in the library folder beside it (see
// MovedLibrary): the "Music Folder" it names, here below the catalogue's
// directory. An unreadable catalogue reads as failed, with nothing.
class ITunesReader {
public:
    ITunesReader(const QString& pList, bool includeEmpty, bool videoOnly);

    CatalogueContents read(LoadProgress& progress) const;

private:
    QString _pList;
    bool _includeEmpty;
    bool _videoOnly;
};
