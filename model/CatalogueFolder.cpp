#include "model/CatalogueFolder.h"

namespace {

// The catalogue icons, registered under names of their own so that they do
// not replace the iPhoto and iTunes folders' "library" entry.
QImage catalogueIcon(const QString& name, const QString& resource) {
    QImage image = MediaFolder::icon(name);
    if (image.isNull()) {
        MediaFolder::loadBundleIcon(name, resource);
        image = MediaFolder::icon(name);
    }
    return image;
}

} // namespace

CatalogueFolder::CatalogueFolder(const QString& name, Library library)
    : MediaFolder(name, library == Library::Music ? catalogueIcon(QStringLiteral("catalogueMusicLibrary"),
                                                                  QStringLiteral("MBiTunesLibrary.tif"))
                                                  : catalogueIcon(QStringLiteral("catalogueLibrary"),
                                                                  QStringLiteral("sl-icon_library.tiff")))
    , _albumIcon(catalogueIcon(QStringLiteral("catalogueAlbum"), QStringLiteral("sl-icon_album.tiff")))
    , _folderIcon(catalogueIcon(QStringLiteral("catalogueFolder"), QStringLiteral("sl-icon_folder.tiff")))
    , _eventIcon(catalogueIcon(QStringLiteral("catalogueEvent"), QStringLiteral("sl-icon_cal.tiff")))
    , _tagIcon(catalogueIcon(QStringLiteral("catalogueTag"), QStringLiteral("sl-icon_smartAlbum.tiff")))
    , _playlistIcon(
          catalogueIcon(QStringLiteral("cataloguePlaylist"), QStringLiteral("MBiTunesPlaylist.tif")))
    , _smartPlaylistIcon(catalogueIcon(QStringLiteral("catalogueSmartPlaylist"),
                                       QStringLiteral("MBiTunesSmartPlaylist.tif"))) {
}

void CatalogueFolder::loadFolder() {
    addContents(readCatalogue());
}

void CatalogueFolder::addContents(CatalogueContents&& contents) {
    std::vector<MediaFolderPtr> folders;
    folders.reserve(contents.groups.size());
    for (CatalogueGroup& group : contents.groups) {
        folders.push_back(folderFor(std::move(group)));
    }
    addFolders(std::move(folders));
    addFiles(std::move(contents.items));
}

MediaFolderPtr CatalogueFolder::folderFor(CatalogueGroup&& group) const {
    QImage icon;
    switch (group.kind) {
    case CatalogueGroup::Kind::Album:
        icon = _albumIcon;
        break;
    case CatalogueGroup::Kind::Folder:
        icon = _folderIcon;
        break;
    case CatalogueGroup::Kind::Event:
        icon = _eventIcon;
        break;
    case CatalogueGroup::Kind::Tag:
        icon = _tagIcon;
        break;
    case CatalogueGroup::Kind::Playlist:
        icon = _playlistIcon;
        break;
    case CatalogueGroup::Kind::SmartPlaylist:
        icon = _smartPlaylistIcon;
        break;
    }
    auto folder = std::make_shared<MediaFolder>(group.name, icon);
    // Filled here, not lazily: loaded first, so that it answers whether it
    // expands from the sub-folders it is given.
    folder->lazyLoad();
    std::vector<MediaFolderPtr> children;
    children.reserve(group.groups.size());
    for (CatalogueGroup& child : group.groups) {
        children.push_back(folderFor(std::move(child)));
    }
    folder->addFolders(std::move(children));
    folder->addFiles(std::move(group.items));
    return folder;
}
