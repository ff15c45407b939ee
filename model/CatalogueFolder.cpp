#include "model/CatalogueFolder.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"

#include <algorithm>
#include <typeinfo>

namespace {

// Whether two catalogue items show and play the same, judged from what they
// hold: nothing is read from their files (a movie's name would be).
bool sameItem(const MediaItemPtr& a, const MediaItemPtr& b) {
    if (a == b) {
        return true;
    }
    if (!a || !b || typeid(*a) != typeid(*b)) {
        return false;
    }
    if (const auto* photo = dynamic_cast<const Photo*>(a.get())) {
        return photo->showsSameAs(static_cast<const Photo&>(*b));
    }
    if (const auto* track = dynamic_cast<const QVTrack*>(a.get())) {
        return track->showsSameAs(static_cast<const QVTrack&>(*b));
    }
    if (dynamic_cast<QVMovie*>(a.get()) != nullptr) {
        return a->url() == b->url();
    }
    return false;
}

bool sameItems(const std::vector<MediaItemPtr>& a, const std::vector<MediaItemPtr>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameItem);
}

bool sameFolders(const std::vector<MediaFolderPtr>& a, const std::vector<MediaFolderPtr>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const MediaFolderPtr& x, const MediaFolderPtr& y) {
                          return x->name() == y->name() && x->icon().cacheKey() == y->icon().cacheKey() &&
                                 sameItems(x->files(), y->files()) && sameFolders(x->folders(), y->folders());
                      });
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
    : MediaFolder(name, library == Library::Music ? catalogueIcon(QStringLiteral("catalogueMusicLibrary"),
                                                                  QStringLiteral("MBiTunesLibrary.tif"))
                                                  : catalogueIcon(QStringLiteral("catalogueLibrary"),
                                                                  QStringLiteral("sl-icon_library.tiff")))
    , _icons{catalogueIcon(QStringLiteral("catalogueAlbum"), QStringLiteral("sl-icon_album.tiff")),
             catalogueIcon(QStringLiteral("catalogueFolder"), QStringLiteral("sl-icon_folder.tiff")),
             catalogueIcon(QStringLiteral("catalogueEvent"), QStringLiteral("sl-icon_cal.tiff")),
             catalogueIcon(QStringLiteral("catalogueTag"), QStringLiteral("sl-icon_smartAlbum.tiff")),
             catalogueIcon(QStringLiteral("cataloguePlaylist"), QStringLiteral("MBiTunesPlaylist.tif")),
             catalogueIcon(QStringLiteral("catalogueSmartPlaylist"),
                           QStringLiteral("MBiTunesSmartPlaylist.tif"))} {
}

MediaFolderReader CatalogueFolder::reader() const {
    // A first load shows what could be read; a reload that could not read
    // everything keeps what the folder shows (see mergeContents).
    return [read = catalogueReader(), icons = _icons, reload = isLoaded()](FolderLoadProgress&) {
        CatalogueContents catalogue = read();
        MediaFolderContents contents;
        if (reload && catalogue.failed) {
            contents.failed = true;
            return contents;
        }
        contents.folders.reserve(catalogue.groups.size());
        for (CatalogueGroup& group : catalogue.groups) {
            contents.folders.push_back(folderFor(std::move(group), icons));
        }
        contents.files = std::move(catalogue.items);
        return contents;
    };
}

void CatalogueFolder::didLoad() {
    _watch.start(catalogueFiles(), [this] { reloadInBackground(); });
}

void CatalogueFolder::mergeContents(MediaFolderContents&& contents) {
    if (contents.failed) {
        return; // read while its application was writing, say: the next change reads it again
    }
    if (sameItems(files(), contents.files) && sameFolders(folders(), contents.folders)) {
        return;
    }
    MediaFolder::mergeContents(std::move(contents));
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
    }
    MediaFolderContents contents;
    contents.folders.reserve(group.groups.size());
    for (CatalogueGroup& child : group.groups) {
        contents.folders.push_back(folderFor(std::move(child), icons));
    }
    contents.files = std::move(group.items);
    // Loaded already, so that it answers whether it expands from what it holds.
    return MediaFolder::makeLoaded(group.name, icon, std::move(contents));
}
