#pragma once

#include "model/FolderLoad.h"
#include "platform/system/LoadProgress.h"

#include <QImage>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

// Whether a media server is there, shared by all the folders shown for it
// (main thread only).
struct ServerPresence {
    bool available = true;
};

// Where a container of a media server is and what a tab takes from it.
struct ServerContainer {
    QString udn;
    QString host;
    QString objectId;
    int type = 0;            // the tab: 0 pictures, 1 music, 2 movies
    bool searchable = false; // the server answers searches by class
    QImage folderIcon;       // for the sub-containers, taken on the main thread
    std::shared_ptr<ServerPresence> presence;
};

// Reads a media server's container page after page through the network
// helper: pages of a few hundred objects, until a page that returns nothing
// (servers misreport the total while they scan, so the total only paces the
// progress shown). A page that brings nothing new (a server that ignores
// where to start), a failed page, or kMaxObjects read also end it. Items
// not of the tab's kind, and sub-containers a tab has no use for, are left out.
class ServerContainerReader {
public:
    static constexpr unsigned kFirstPage = 200;
    static constexpr unsigned kPage = 500;
    static constexpr unsigned kMaxObjects = 500000;
    // A first page with at most this many sub-containers has each asked
    // whether it holds anything of the tab's kind (one search each).
    static constexpr long kAskedContainers = 16;

    // How far a read got: the next object to ask for, and whether it ended.
    struct Cursor {
        unsigned next = 0;
        bool finished = false;
        bool failed = false;
        QSet<QString> seen; // the objects read so far, by id
    };

    explicit ServerContainerReader(ServerContainer container);

    // Reads from cursor on, handing each page's folders and items to page,
    // for at most maxPages pages (0: to the end). Leaves the cursor where it stopped.
    void read(Cursor& cursor, LoadProgress& progress, unsigned maxPages,
              const std::function<void(MediaFolderContents&&)>& page) const;

    // The whole container in one contents (failed when its first page failed).
    MediaFolderContents readAll(LoadProgress& progress) const;

    // Whether a tab shows a sub-container of this UPnP class (a music album
    // is no picture folder).
    static bool typeTakesContainer(int type, const QString& upnpClass);

private:
    bool containerHasItems(const QString& containerId, LoadProgress& progress) const;

    ServerContainer _container;
};
