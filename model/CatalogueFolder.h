#pragma once

#include "model/CatalogueContents.h"
#include "model/MediaFolder.h"

#include <QImage>
#include <QString>

// A folder showing a catalogue that another application keeps (a photo or
// music library database). The catalogue is read once, on first use, by
// readCatalogue(), which touches no shared state; loadFolder() then adds the
// items and one sub-folder per group. Expandable before loading, without
// reading anything.
class CatalogueFolder : public MediaFolder {
public:
    // The catalogue's contents: what loadFolder() adds. Safe on any thread.
    virtual CatalogueContents readCatalogue() const = 0;

    // Adds contents to this folder: its items, and a sub-folder per group.
    void addContents(CatalogueContents&& contents);

protected:
    // Which library icon the folder shows.
    enum class Library { Pictures, Music };

    // A folder with the library icon; registers the group icons on first use.
    CatalogueFolder(const QString& name, Library library);

    void loadFolder() override;
    bool loadExpandable() override { return true; }

private:
    MediaFolderPtr folderFor(CatalogueGroup&& group) const;

    QImage _albumIcon;
    QImage _folderIcon;
    QImage _eventIcon;
    QImage _tagIcon;
    QImage _playlistIcon;
    QImage _smartPlaylistIcon;
};
