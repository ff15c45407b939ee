#include "model/QVMedia.h"

#include "platform/system/FileSystem.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "platform/system/SlowFileSystems.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/AppleMusicFolder.h"
#include "sources/catalogues/CatalogueRoots.h"
#include "sources/catalogues/DarktableFolder.h"
#include "sources/catalogues/DigikamFolder.h"
#include "sources/catalogues/ElisaFolder.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/catalogues/KodiFolder.h"
#include "sources/catalogues/LightroomFolder.h"
#include "sources/catalogues/LollypopFolder.h"
#include "sources/catalogues/PhotosLibraryFolder.h"
#include "sources/catalogues/RhythmboxFolder.h"
#include "sources/catalogues/ShotwellFolder.h"
#include "sources/catalogues/StrawberryFolder.h"
#include "sources/index/BalooFolder.h"
#include "sources/index/TrackerFolder.h"
#include "sources/local/LocalFolder.h"
#include "sources/network/NetworkSources.h"
#include "sources/network/ShareFolder.h"

const char QVMediaIPhotoLibraryPath[] = "~/Pictures/iPhoto Library/AlbumData.xml";
const char QVMediaITunesLibraryPath[] = "~/Music/iTunes/iTunes Music Library.xml";

namespace {

// The catalogues read, in the order their folders come at the top of each
// root, before the local folders. Adding a kind of catalogue is one line here.
// clang-format off
constexpr CatalogueKind catalogueKinds[] = {
    &IPhotoFolder::addToRoots,
    &ITunesFolder::addToRoots,
    &AppleMusicFolder::addToRoots,
    &PhotosLibraryFolder::addToRoots,
    &ShotwellFolder::addToRoots,
    &DigikamFolder::addToRoots,
    &DarktableFolder::addToRoots,
    &LightroomFolder::addToRoots,
    &RhythmboxFolder::addToRoots,
    &StrawberryFolder::addToRoots,
    &ElisaFolder::addToRoots,
    &LollypopFolder::addToRoots,
    &KodiFolder::addToRoots,
    &TrackerFolder::addToRoots,
    &BalooFolder::addToRoots,
};
// clang-format on

} // namespace

QVMedia::QVMedia()
    : _networkSources(std::make_unique<NetworkSources>()) {
}

QVMedia::~QVMedia() {
    if (_observing) {
        NotificationCenter::defaultCenter().removeObserver(this);
    }
}

void QVMedia::awakeFromNib() {
    // Subscribing after the first build: creating the preferences store posts
    // a change, which must not cause a second build.
    prefsChanged();
    if (!_observing) {
        NotificationCenter::defaultCenter().addObserver(this, UserPreferencesChanged, nullptr,
                                                        [this](const Notification&) { prefsChanged(); });
        _observing = true;
    }
}

void QVMedia::prefsChanged() {
    UserPreferences* preferences = UserPreferences::sharedPreferences();
    for (const MediaFolderPtr& root : {_photos, _music, _movies}) {
        if (root) {
            root->removeAll();
        }
    }
    const CatalogueRoots roots{_photos.get(), _music.get(), _movies.get()};
    for (const CatalogueKind addFolders : catalogueKinds) {
        addFolders(roots);
    }
    // Copies: the store's lists are live and may change while folders are made.
    if (_photos) {
        loadPaths(QStringList(preferences->picturePaths()), *_photos, LocalFolder::Pictures);
    }
    if (_music) {
        loadPaths(QStringList(preferences->musicPaths()), *_music, LocalFolder::Music);
    }
    if (_movies) {
        loadPaths(QStringList(preferences->moviePaths()), *_movies, LocalFolder::Movies);
    }
    _networkSources->setEnabled(preferences->mediaServersEnabled());
    _networkSources->addToRoots(roots);
}

void QVMedia::loadPaths(const QStringList& paths, MediaFolder& root, int type) {
    for (const QString& path : paths) {
        if (ShareFolder::isShareLocation(path)) {
            root.addFolder(std::make_shared<ShareFolder>(path, type));
            continue;
        }
        // A folder on a slow file system is taken without a look at it: a
        // sleeping NAS must not hold up the window (the folder shows empty
        // when it cannot be read).
        const QString expanded = Path::expandTilde(path);
        if (!SlowFileSystems::isSlow(expanded) && !FileSystem::isDirectory(expanded)) {
            continue;
        }
        if (auto folder = LocalFolder::create(path, type)) {
            root.addFolder(folder);
        }
    }
}
