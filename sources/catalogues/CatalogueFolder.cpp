#include "sources/catalogues/CatalogueFolder.h"

namespace {

// A digest of a catalogue's items and groups, in their order.
std::size_t digestOf(const std::vector<MediaItemPtr>& items, const std::vector<CatalogueGroup>& groups,
                     std::size_t seed) {
    seed = qHashMulti(seed, items.size(), groups.size());
    for (const MediaItemPtr& item : items) {
        seed = qHashMulti(seed, item->contentHash());
    }
    for (const CatalogueGroup& group : groups) {
        seed =
            digestOf(group.items, group.groups, qHashMulti(seed, group.name, static_cast<int>(group.kind)));
    }
    return seed;
}

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
    : SourceFolder(name, library == Library::Music ? catalogueIcon(QStringLiteral("catalogueMusicLibrary"),
                                                                   QStringLiteral("MBiTunesLibrary.tif"))
                                                   : catalogueIcon(QStringLiteral("catalogueLibrary"),
                                                                   QStringLiteral("sl-icon_library.tiff")))
    , _icons{catalogueIcon(QStringLiteral("catalogueAlbum"), QStringLiteral("sl-icon_album.tiff")),
             catalogueIcon(QStringLiteral("catalogueFolder"), QStringLiteral("sl-icon_folder.tiff")),
             catalogueIcon(QStringLiteral("catalogueEvent"), QStringLiteral("sl-icon_cal.tiff")),
             catalogueIcon(QStringLiteral("catalogueTag"), QStringLiteral("sl-icon_smartAlbum.tiff")),
             catalogueIcon(QStringLiteral("cataloguePlaylist"), QStringLiteral("MBiTunesPlaylist.tif")),
             catalogueIcon(QStringLiteral("catalogueSmartPlaylist"),
                           QStringLiteral("MBiTunesSmartPlaylist.tif")),
             catalogueIcon(QStringLiteral("catalogueRoll"), QStringLiteral("sl-icon_roll.tiff"))} {
}

MediaFolderReader CatalogueFolder::reader() const {
    return [read = catalogueReader(), icons = _icons, reload = isLoaded(),
            lastDigest = _lastDigest](LoadProgress& progress) {
        CatalogueContents catalogue = read(progress);
        MediaFolderContents contents;
        if (catalogue.failed && (reload || (catalogue.items.empty() && catalogue.groups.empty()))) {
            // A first read shows what it could read; a read again that could
            // not read everything leaves what the folder shows.
            contents.failed = true;
            return contents;
        }
        // Not made for the first read, which it would slow down by a tenth:
        // the first read again is always taken, and gives the digest after it.
        if (reload) {
            const std::size_t digest = digestOf(catalogue.items, catalogue.groups, 1);
            if (lastDigest->exchange(digest) == digest) {
                contents.unchanged = true;
                return contents;
            }
        }
        contents.folders.reserve(catalogue.groups.size());
        for (CatalogueGroup& group : catalogue.groups) {
            contents.folders.push_back(folderFor(std::move(group), icons));
        }
        contents.files = std::move(catalogue.items);
        contents.foldForSearch = true;
        return contents;
    };
}

MediaFolderPtr CatalogueFolder::folderFor(CatalogueGroup&& group, const GroupIcons& icons) {
    QImage icon;
    switch (group.kind) {
    case CatalogueGroup::Kind::Album:
        icon = icons.album;
        break;
    case CatalogueGroup::Kind::Folder:
        icon = icons.folder;
        break;
    case CatalogueGroup::Kind::Event:
        icon = icons.event;
        break;
    case CatalogueGroup::Kind::Tag:
        icon = icons.tag;
        break;
    case CatalogueGroup::Kind::Playlist:
        icon = icons.playlist;
        break;
    case CatalogueGroup::Kind::SmartPlaylist:
        icon = icons.smartPlaylist;
        break;
    case CatalogueGroup::Kind::Roll:
        icon = icons.roll;
        break;
    }
    MediaFolderContents contents;
    contents.folders.reserve(group.groups.size());
    for (CatalogueGroup& child : group.groups) {
        contents.folders.push_back(folderFor(std::move(child), icons));
    }
    contents.files = std::move(group.items);
    // Loaded already, so that it answers whether it expands from what it holds.
    // Known across reads by the catalogue's own id, else by its kind and name.
    const QString identity = QStringLiteral("%1:%2")
                                 .arg(static_cast<int>(group.kind))
                                 .arg(group.id.isEmpty() ? QStringLiteral("name:") + group.name : group.id);
    return MediaFolder::makeLoaded(group.name, icon, std::move(contents), identity);
}
