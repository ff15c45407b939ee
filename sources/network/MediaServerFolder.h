#pragma once

#include "model/SourceFolder.h"
#include "sources/network/PagedLoad.h"
#include "sources/network/ServerContainerReader.h"

#include <memory>

// A container of a media server as a folder of one tab: its sub-containers
// become folders, its items of the tab's kind become items. The first load
// publishes the first page, and the rest follows page by page (PagedLoad);
// reading again reads the whole container, merged as any source by the
// items' URLs and the sub-containers' ids. While its server is away the
// folder is unavailable (the outline greys it out) and keeps what it shows.
// Servers send no change notices the browser listens to: nothing is followed.
class MediaServerFolder : public SourceFolder {
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
    // Asked for its lists at once (a tool printing the trees, a list that
    // cannot wait) with no read under way: the whole container, now.
    void loadFolder() override;
    // Containers are not asked whether they hold containers before they are opened.
    bool loadExpandable() override { return true; }
    // The first page is published: the rest is read page by page.
    void didPublish() override;

private:
    void appendPage(MediaFolderContents&& page);
    void pagesEnded();

    ServerContainer _container;
    // Where the first load's reader stopped; made by reader(), taken by didPublish().
    mutable std::shared_ptr<ServerContainerReader::Cursor> _cursor;
    bool _readWholeNow = false; // loadFolder() reads the whole container
    std::shared_ptr<PagedLoad> _rest;
    std::vector<MediaFolderPtr> _laterFolders; // sub-containers of later pages, added at the end
};
