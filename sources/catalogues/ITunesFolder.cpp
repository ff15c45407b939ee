#include "sources/catalogues/ITunesFolder.h"

#include "model/QVMedia.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/ITunesReader.h"

ITunesFolderPtr ITunesFolder::create(const QString& name, const QString& pList, bool includeEmpty,
                                     bool videoOnly) {
    // Every new library folder registers its icons afresh.
    loadBundleIcon(QStringLiteral("iTunes"), QStringLiteral("iTunes.tiff"));
    loadBundleIcon(QStringLiteral("library"), QStringLiteral("MBiTunesLibrary.tif"));
    loadBundleIcon(QStringLiteral("playlist"), QStringLiteral("MBiTunesPlaylist.tif"));
    loadBundleIcon(QStringLiteral("smartPlaylist"), QStringLiteral("MBiTunesSmartPlaylist.tif"));
    loadBundleIcon(QStringLiteral("videos"), QStringLiteral("MBiTunesVideos.tif"));
    loadBundleIcon(QStringLiteral("podcasts"), QStringLiteral("MBiTunesPodcastsPlaylist.tif"));
    const QString expanded = Path::expandTilde(pList);
    if (!FileSystem::exists(expanded)) {
        return nullptr;
    }
    return std::make_shared<ITunesFolder>(name, expanded, includeEmpty, videoOnly);
}

void ITunesFolder::addToRoots(const CatalogueRoots& roots) {
    const QString path = QString::fromUtf8(QVMediaITunesLibraryPath);
    if (!FileSystem::exists(Path::expandTilde(path))) {
        return;
    }
    if (roots.music != nullptr) {
        if (auto folder = create(QStringLiteral("iTunes"), path, true, false)) {
            roots.music->addFolder(folder);
        }
    }
    if (roots.movies != nullptr) {
        if (auto folder = create(QStringLiteral("iTunes"), path, false, true)) {
            roots.movies->addFolder(folder);
        }
    }
}

ITunesFolder::ITunesFolder(const QString& name, const QString& expandedPList, bool includeEmpty,
                           bool videoOnly)
    : CatalogueFolder(name, icon(QStringLiteral("iTunes")), Library::Music)
    , _pList(expandedPList)
    , _includeEmpty(includeEmpty)
    , _videoOnly(videoOnly) {
}

CatalogueReader ITunesFolder::catalogueReader() const {
    return [reader = ITunesReader(_pList, _includeEmpty, _videoOnly)](LoadProgress& progress) {
        return reader.read(progress);
    };
}
