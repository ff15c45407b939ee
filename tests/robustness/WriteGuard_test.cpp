#include "TreeSnapshot.h"
#include "browser/PhotoListController.h"
#include "iconview/IconImage.h"
#include "iconview/IconView.h"
#include "model/Photo.h"
#include "model/QVMedia.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/MoviePoster.h"
#include "platform/MpvPlayer.h"
#include "platform/NotificationCenter.h"
#include "platform/Path.h"
#include "platform/PreferencesStore.h"
#include "prefs/UserPreferences.h"
#include "support/Wait.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every folder of a tree, the root's children first.
void collect(const MediaFolderPtr& folder, std::vector<MediaFolderPtr>& into) {
    for (const MediaFolderPtr& child : folder->folders()) {
        into.push_back(child);
        collect(child, into);
    }
}

std::vector<MediaFolderPtr> everyFolder(const MediaFolderPtr& root) {
    std::vector<MediaFolderPtr> folders;
    collect(root, folders);
    return folders;
}

// Browses a whole demo library: shows every picture folder in a thumbnail
// grid until each thumbnail is decoded or has failed, asks every track and
// movie for its tags and poster, plays a track to its end, and changes and
// saves the preferences. Answers how many of each it went through.
struct Browsed {
    int pictureFolders = 0;
    int thumbnails = 0;
    int tracks = 0;
    int posters = 0;
    int played = 0;
};

Browsed browse(QVMedia& media) {
    Browsed browsed;
    PhotoListController list;
    QScrollArea area;
    auto* view = new IconView;
    view->setDataSource(&list);
    list.setIconView(view);
    area.setWidget(view);
    area.resize(520, 2400);
    area.show();
    for (const MediaFolderPtr& folder : everyFolder(media.photos())) {
        list.setFolder(folder);
        if (folder->files().empty()) {
            continue;
        }
        ++browsed.pictureFolders;
        (void)area.grab(); // draws the cells, which asks for their pixels
        const int count = list.numberOfItemsInIconView(view);
        EXPECT_EVENTUALLY(
            [&] {
                for (int i = 0; i < count; ++i) {
                    const IconImagePtr image = list.imageForIndex(view, i);
                    if (image && image->pixels().isNull() && !image->failed()) {
                        return false;
                    }
                }
                return true;
            }(),
            20000);
        for (int i = 0; i < count; ++i) {
            const IconImagePtr image = list.imageForIndex(view, i);
            browsed.thumbnails += image && !image->pixels().isNull() ? 1 : 0;
        }
    }
    list.setFolder(nullptr);

    QUrl firstTrack;
    for (const MediaFolderPtr& root : {media.music(), media.movies()}) {
        for (const MediaFolderPtr& folder : everyFolder(root)) {
            for (const MediaItemPtr& item : folder->files()) {
                (void)item->name();
                (void)item->matchesFilter(QStringLiteral("o"));
                if (const auto track = std::dynamic_pointer_cast<QVTrack>(item)) {
                    (void)track->artist();
                    (void)track->length();
                    ++browsed.tracks;
                    if (firstTrack.isEmpty()) {
                        firstTrack = track->url();
                    }
                }
                if (root == media.movies() &&
                    !MoviePoster::posterImage(Path::localPath(item->url()), QSize(150, 113)).isNull()) {
                    ++browsed.posters;
                }
            }
        }
    }

    auto player = MpvPlayer::create(firstTrack, {"null", "null"});
    if (player) {
        NotificationCenter::defaultCenter().addObserver(&browsed, QVMovieDidEnd, player.get(),
                                                        [&](const Notification&) { ++browsed.played; });
        player->play();
        EXPECT_EVENTUALLY(browsed.played > 0, 60000);
        NotificationCenter::defaultCenter().removeObserver(&browsed);
    }
    return browsed;
}

// A demo library, browsed end to end, writes nothing but the preferences file.
TEST(WriteGuard, BrowsingTheDemoLibraryWritesOnlyThePreferences) {
    const QString home = QStringLiteral(QVMB_DEMO_HOME);
    ASSERT_TRUE(QFileInfo::exists(home + QStringLiteral("/.demo-home-version")))
        << "no demo home at " << home.toStdString() << " (made by the demo_home test fixture)";
    QTemporaryDir config;
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    const TreeSnapshot before(home);
    ASSERT_GT(before.size(), 30u);

    QVMedia media;
    media.setPhotos(std::make_shared<MediaFolder>());
    media.setMusic(std::make_shared<MediaFolder>());
    media.setMovies(std::make_shared<MediaFolder>());
    media.awakeFromNib();
    const Browsed first = browse(media);
    EXPECT_GE(first.pictureFolders, 10);
    EXPECT_GE(first.thumbnails, 40);
    EXPECT_GE(first.tracks, 20);
    EXPECT_GE(first.posters, 6);
    EXPECT_EQ(first.played, 1);

    // A change of the preferences, saved, rebuilds the trees: browse them again.
    UserPreferences* preferences = UserPreferences::sharedPreferences();
    preferences->setPicturePaths({QStringLiteral("~/Pictures/Garden"), QStringLiteral("~/Movies")});
    preferences->setMoviePaths({QStringLiteral("~/Movies/Clips")});
    preferences->synchronize();
    const Browsed second = browse(media);
    EXPECT_GE(second.thumbnails, 4);
    EXPECT_EQ(second.played, 1);

    const QStringList changes = TreeSnapshot(home).changesSince(before);
    EXPECT_TRUE(changes.isEmpty()) << changes.join(QLatin1Char('\n')).toStdString();
    const QString preferencesFile = PreferencesStore::filePath(UserPreferences::bundleID());
    EXPECT_TRUE(preferencesFile.startsWith(config.path()));
    EXPECT_EQ(QDir(config.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QFileInfo(preferencesFile).fileName()});
}

} // namespace
