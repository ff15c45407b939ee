#pragma once

#include "model/MediaFolder.h"
#include "sources/network/PagedLoad.h"
#include "sources/network/ServerContainerReader.h"

#include <memory>

// A container of a media server as a folder of one tab: its sub-containers
// become folders, its items of the tab's kind become items. The first load
// publishes the first page, and the rest follows page by page (PagedLoad);
// reading again reads the whole container. While its server is away the
// folder is unavailable (the outline greys it out) and keeps what it shows.
class MediaServerFolder : public MediaFolder {
public:
    MediaServerFolder(ServerContainer container, const QString& name);
    ~MediaServerFolder() override;

    const ServerContainer& container() const { return _container; }
    bool isAvailable() const override;
    // The server came back (reads again what it could not read) or went away.
    void serverPresenceChanged();

    // The folder icon of server containers, registered on first use (main thread).
    static QImage folderIcon();

protected:
    MediaFolderReader reader() const override;
    // Without an event loop (a tool printing the trees): the whole container, now.
    void loadFolder() override;
    // Containers are not asked whether they hold containers before they are opened.
    bool loadExpandable() override { return true; }
    void didLoad() override;

private:
    void appendPage(MediaFolderContents&& page);
    void pagesEnded();

    ServerContainer _container;
    // Where the first load's reader stopped; made by reader(), taken by didLoad().
    mutable std::shared_ptr<ServerContainerReader::Cursor> _cursor;
    std::shared_ptr<PagedLoad> _rest;
    std::vector<MediaFolderPtr> _laterFolders; // sub-containers of later pages, added at the end
};
