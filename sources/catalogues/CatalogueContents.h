#pragma once

#include "model/MediaItem.h"

#include <QString>

#include <vector>

// What a catalogue reader makes of a catalogue file: plain items and named
// groups of them (albums, events, tags, playlists), nested as the catalogue
// nests them. Made without notifications, shared caches or QObjects, so that
// reading can run on any thread; the folder then adds it in one step.
struct CatalogueGroup {
    // The icon a group's folder shows.
    enum class Kind { Album, Folder, Event, Tag, Playlist, SmartPlaylist, Roll };

    QString name;
    Kind kind = Kind::Album;
    std::vector<MediaItemPtr> items;
    std::vector<CatalogueGroup> groups;
    // The catalogue's own identifier of the group (an album or playlist
    // number, a persistent id), when it has one: a group read again is the
    // same folder by it, even renamed. Empty: known by its kind and name.
    QString id;
};

struct CatalogueContents {
    std::vector<MediaItemPtr> items;
    std::vector<CatalogueGroup> groups;
    // The catalogue could not be read to its end in one consistent state
    // (unreadable, broken off, or written meanwhile): what it holds is partial.
    bool failed = false;

    static CatalogueContents failure() {
        CatalogueContents contents;
        contents.failed = true;
        return contents;
    }
};
