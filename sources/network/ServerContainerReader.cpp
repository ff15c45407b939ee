#include "sources/network/ServerContainerReader.h"

#include "platform/network/ContentDirectory.h"
#include "sources/network/MediaServerFolder.h"
#include "sources/network/NetworkItems.h"

namespace {

const QLatin1String kItemClasses[] = {
    QLatin1String("object.item.imageItem"),
    QLatin1String("object.item.audioItem"),
    QLatin1String("object.item.videoItem"),
};

} // namespace

ServerContainerReader::ServerContainerReader(ServerContainer container)
    : _container(std::move(container)) {
}

bool ServerContainerReader::typeTakesContainer(int type, const QString& upnpClass) {
    const bool music = upnpClass.startsWith(QLatin1String("object.container.album.musicAlbum")) ||
                       upnpClass.startsWith(QLatin1String("object.container.person.musicArtist")) ||
                       upnpClass.startsWith(QLatin1String("object.container.genre.musicGenre"));
    const bool pictures = upnpClass.startsWith(QLatin1String("object.container.album.photoAlbum"));
    const bool movies = upnpClass.startsWith(QLatin1String("object.container.genre.movieGenre"));
    switch (type) {
    case 0:
        return !music && !movies;
    case 1:
        return !pictures && !movies;
    case 2:
        return !pictures && !music;
    default:
        return false;
    }
}

bool ServerContainerReader::containerHasItems(const QString& containerId, LoadProgress& progress) const {
    const ServerPage page = ContentDirectory::search(
        _container.udn, _container.host, containerId,
        ContentDirectory::criteriaForClass(kItemClasses[_container.type]), 0, 1, progress);
    // A search that fails tells nothing: the container stays.
    return !page.ok || !page.objects.empty();
}

void ServerContainerReader::read(Cursor& cursor, LoadProgress& progress, unsigned maxPages,
                                 const std::function<void(MediaFolderContents&&)>& page) const {
    // Where servers sort by kind ("Music", "Pictures", "Video" at their top,
    // or folders of a disk), a tab asks each of a few sub-containers whether
    // it holds anything of its kind, where the server can say; a long list
    // of albums or folders is taken as it is.
    const bool sortByKind = _container.searchable;
    unsigned pages = 0;
    while (!cursor.finished && !progress.isCancelled()) {
        if (maxPages != 0 && pages == maxPages) {
            return;
        }
        const unsigned count = cursor.next == 0 ? kFirstPage : kPage;
        const ServerPage answer = ContentDirectory::browse(_container.udn, _container.host,
                                                           _container.objectId, cursor.next, count, progress);
        ++pages;
        if (!answer.ok) {
            cursor.failed = true;
            cursor.finished = true;
            return;
        }
        MediaFolderContents contents;
        bool anythingNew = false;
        const auto containers = std::count_if(answer.objects.begin(), answer.objects.end(),
                                              [](const ServerObject& object) { return object.isContainer; });
        const bool askEach = sortByKind && cursor.next == 0 && containers <= kAskedContainers;
        for (const ServerObject& object : answer.objects) {
            if (object.id.isEmpty() || cursor.seen.contains(object.id)) {
                continue;
            }
            cursor.seen.insert(object.id);
            anythingNew = true;
            if (object.isContainer) {
                if (!typeTakesContainer(_container.type, object.upnpClass) ||
                    (askEach && !containerHasItems(object.id, progress))) {
                    continue;
                }
                ServerContainer child = _container;
                child.objectId = object.id;
                contents.folders.push_back(std::make_shared<MediaServerFolder>(
                    std::move(child), object.title.isEmpty() ? object.id : object.title));
            } else if (MediaItemPtr item = NetworkItems::itemFor(object, _container.type)) {
                contents.files.push_back(std::move(item));
            }
        }
        cursor.next += static_cast<unsigned>(answer.objects.size());
        if (answer.totalMatches > 0) {
            progress.setFraction(std::min(1.0, double(cursor.next) / double(answer.totalMatches)));
        }
        if (answer.objects.empty() || !anythingNew || cursor.seen.size() >= kMaxObjects) {
            cursor.finished = true;
        }
        if (!contents.folders.empty() || !contents.files.empty() || cursor.finished) {
            page(std::move(contents));
        }
    }
}

MediaFolderContents ServerContainerReader::readAll(LoadProgress& progress) const {
    MediaFolderContents all;
    Cursor cursor;
    read(cursor, progress, 0, [&all](MediaFolderContents&& page) {
        all.folders.insert(all.folders.end(), std::make_move_iterator(page.folders.begin()),
                           std::make_move_iterator(page.folders.end()));
        all.files.insert(all.files.end(), std::make_move_iterator(page.files.begin()),
                         std::make_move_iterator(page.files.end()));
    });
    all.failed = cursor.failed && cursor.seen.isEmpty();
    return all;
}
