#include "sources/network/ShareFolder.h"

#include "platform/network/ShareDirectory.h"
#include "platform/system/Path.h"
#include "sources/local/LocalFolder.h"
#include "sources/network/NetworkItems.h"

#include <QUrl>

namespace {

const QString kIconName = QStringLiteral("share-folder");

QImage shareIcon() {
    static const bool registered = [] {
        MediaFolder::loadBundleIcon(kIconName, QStringLiteral("sl-icon_folder.tiff"));
        return true;
    }();
    (void)registered;
    return MediaFolder::icon(kIconName);
}

// The name a location is shown by: its last folder, else its share or host.
QString nameOf(const QString& location) {
    const QUrl url(location);
    const QString last = Path::lastComponent(url.path());
    if (!last.isEmpty() && last != QLatin1String("/")) {
        return last;
    }
    return url.host().isEmpty() ? location : url.host();
}

// An item of a share without a local path: at its own URL, named after its file.
MediaItemPtr remoteItem(const ShareEntry& entry, int type) {
    // The kind is decided by the name, as for a local file (nothing is read).
    if (!LocalFolder::makeItem(entry.name, type)) {
        return nullptr;
    }
    const QUrl url(entry.uri);
    ServerItemDetails details;
    details.objectId = entry.uri;
    details.size = entry.size;
    const QString title = Path::deletingExtension(entry.name);
    switch (type) {
    case 0:
        return std::make_shared<NetworkPhoto>(title, url, std::move(details));
    case 1:
        return std::make_shared<NetworkTrack>(title, QString(), url, std::move(details));
    case 2:
        return std::make_shared<NetworkMovie>(title, url, std::move(details));
    default:
        return nullptr;
    }
}

} // namespace

bool ShareFolder::isShareLocation(const QString& location) {
    return ShareDirectory::isShareLocation(location);
}

ShareFolder::ShareFolder(const QString& location, int type)
    : ShareFolder(location, type, nameOf(location), shareIcon()) {
}

ShareFolder::ShareFolder(const QString& location, int type, const QString& name, const QImage& icon)
    : SourceFolder(name, icon)
    , _location(location)
    , _type(type)
    , _folderIcon(icon) {
    // The same place across reads, whatever it is called.
    setIdentity(location);
}

void ShareFolder::loadInBackground() {
    if (isLoaded() && !isReading()) {
        reloadInBackground();
        return;
    }
    SourceFolder::loadInBackground();
}

MediaFolderReader ShareFolder::reader() const {
    return [location = _location, type = _type, icon = _folderIcon](LoadProgress& progress) {
        MediaFolderContents contents;
        const ShareDirectory::Listing listing = ShareDirectory::list(location, progress);
        contents.failed = !listing.ok;
        for (const ShareEntry& entry : listing.entries) {
            if (entry.name.startsWith(QLatin1Char('.'))) {
                continue;
            }
            if (entry.isDirectory) {
                contents.folders.push_back(std::make_shared<ShareFolder>(entry.uri, type, entry.name, icon));
            } else if (entry.isFile) {
                MediaItemPtr item = entry.localPath.isEmpty() ? remoteItem(entry, type)
                                                              : LocalFolder::makeItem(entry.localPath, type);
                if (item) {
                    // A file written in place becomes a new item when read again.
                    const std::size_t stamp = qHashMulti(3, entry.size, entry.modified);
                    item->setStamp(stamp == 0 ? 1 : stamp);
                    contents.files.push_back(std::move(item));
                }
            }
        }
        return contents;
    };
}
