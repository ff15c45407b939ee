#include "TreeSnapshot.h"
#include "browser/BrowserController.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/MovieListController.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "browser/SegmentedControl.h"
#include "iconview/IconImage.h"
#include "iconview/IconView.h"
#include "iconview/ThumbnailLoader.h"
#include "model/QVMedia.h"
#include "model/QVTrack.h"
#include "platform/media/MpvPlayer.h"
#include "platform/system/PreferencesStore.h"
#include "prefs/UserPreferences.h"
#include "support/Wait.h"
#include "ui_MediaBrowser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// What browsing went through.
struct Browsed {
    int folders = 0;
    int pictures = 0; // thumbnails drawn
    int tracks = 0;
    int posters = 0; // movie posters drawn
    bool played = false;
};

// Every row of an outline, expanded as the user would, in order.
// Waits until the folder at index has been read in the background and its
// rows or files have reached the outline and the lists.
void waitForLoad(QTreeView* outline, const QModelIndex& index) {
    MediaFolder* folder = static_cast<QVMBTreeController*>(outline->model())->folderForIndex(index);
    folder->loadInBackground();
    EXPECT_EVENTUALLY(folder->loadState() != MediaFolder::LoadState::Loading, 30000);
    QCoreApplication::processEvents();
}

void everyRow(QTreeView* outline, const QModelIndex& parent, std::vector<QPersistentModelIndex>& rows) {
    waitForLoad(outline, parent);
    QAbstractItemModel* model = outline->model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        rows.emplace_back(index);
        outline->expand(index);
        everyRow(outline, index, rows);
    }
}

// Draws the window until every picture of the grid has arrived or failed;
// answers how many arrived.
int drawGrid(MediaBrowserWindow& window, IconView* view, IconViewDataSource* list) {
    (void)window.grab(); // drawing the cells asks for their pictures
    const int count = list->numberOfItemsInIconView(view);
    const auto settled = [&] {
        for (int i = 0; i < count; ++i) {
            const IconImagePtr image = list->imageForIndex(view, i);
            if (image && image->refersToFile() && image->pixels().isNull() && !image->failed()) {
                return false;
            }
        }
        return true;
    };
    EXPECT_EVENTUALLY(settled(), 30000);
    int drawn = 0;
    for (int i = 0; i < count; ++i) {
        const IconImagePtr image = list->imageForIndex(view, i);
        drawn += image && !image->pixels().isNull() ? 1 : 0;
    }
    return drawn;
}

// Shows each tab, selects every folder of its outline and draws its list:
// thumbnails and posters decoded, tracks' tags read into the table.
Browsed browse(MediaBrowserWindow& window) {
    Ui::MediaBrowser& ui = window.ui();
    QTreeView* outlines[] = {ui.picturesOutline, ui.musicOutline, ui.moviesOutline};
    Browsed browsed;
    for (int kind = 0; kind < 3; ++kind) {
        ui.buttons->setSelectedSegment(kind);
        window.browserController()->tabClick();
        std::vector<QPersistentModelIndex> rows;
        everyRow(outlines[kind], {}, rows);
        for (const QPersistentModelIndex& row : rows) {
            outlines[kind]->setCurrentIndex(row);
            waitForLoad(outlines[kind], row);
            ++browsed.folders;
            switch (kind) {
            case 0:
                browsed.pictures += drawGrid(window, window.photoView(), window.photoList());
                break;
            case 1:
                (void)window.grab();
                browsed.tracks += window.musicList()->numItems();
                break;
            default:
                browsed.posters += drawGrid(window, window.movieView(), window.movieList());
                break;
            }
        }
    }
    return browsed;
}

// Plays the shortest track of the music tree's first folder with tracks to its end.
bool playShortestTrack(MediaBrowserWindow& window) {
    Ui::MediaBrowser& ui = window.ui();
    ui.buttons->setSelectedSegment(1);
    window.browserController()->tabClick();
    std::vector<QPersistentModelIndex> rows;
    everyRow(ui.musicOutline, {}, rows);
    MusicListController* list = window.musicList();
    for (const QPersistentModelIndex& row : rows) {
        ui.musicOutline->setCurrentIndex(row);
        waitForLoad(ui.musicOutline, row);
        if (list->numItems() == 0) {
            continue;
        }
        int shortest = 0;
        for (int i = 0; i < list->numItems(); ++i) {
            const auto track =
                std::static_pointer_cast<QVTrack>(list->filtered()[static_cast<std::size_t>(i)]);
            if (track->length() < std::static_pointer_cast<QVTrack>(list->filtered()[shortest])->length()) {
                shortest = i;
            }
        }
        window.musicTable()->selectRow(shortest);
        const quint32 length = std::static_pointer_cast<QVTrack>(list->filtered()[shortest])->length();
        QElapsedTimer playing;
        playing.start();
        list->togglePlay();
        EXPECT_TRUE(list->isPlaying());
        EXPECT_EVENTUALLY(!list->isPlaying(), 60000);
        // Played through, not stopped early by a failure.
        EXPECT_GE(playing.elapsed() + 1000, static_cast<qint64>(length) * 1000);
        return !list->isPlaying();
    }
    return false;
}

// What browsing wrote into the desktop's thumbnail cache, checked entry by
// entry: each a PNG readable by the user alone, in a directory of the user
// alone, named and keyed for a picture of the home as it is now. Answers the
// other changes and counts the entries.
QStringList checkThumbnailCache(const QStringList& changes, const QString& home, int& entries) {
    const QString cache = home + QStringLiteral("/.cache/thumbnails");
    QStringList others;
    for (const QString& change : changes) {
        const QString path = change.section(QLatin1Char(' '), 1);
        if (change == QStringLiteral("modified ") + home + QStringLiteral("/.cache")) {
            continue; // the cache's directory was made there
        }
        if (!path.startsWith(cache) || !change.startsWith(QLatin1String("created"))) {
            others << change;
            continue;
        }
        const QFileInfo info(path);
        if (info.isDir()) {
            EXPECT_EQ(info.permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadUser | QFile::WriteUser | QFile::ExeUser)
                << path.toStdString();
            continue;
        }
        ++entries;
        EXPECT_EQ(info.permissions() & 0x7777,
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser)
            << path.toStdString();
        const QImage entry(path, "PNG");
        EXPECT_FALSE(entry.isNull()) << path.toStdString();
        const QUrl picture(entry.text(QStringLiteral("Thumb::URI")));
        EXPECT_TRUE(picture.toLocalFile().startsWith(home)) << path.toStdString();
        EXPECT_EQ(entry.text(QStringLiteral("Thumb::MTime")),
                  QString::number(QFileInfo(picture.toLocalFile()).lastModified().toSecsSinceEpoch()))
            << path.toStdString();
    }
    return others;
}

// The demo library, browsed end to end in the browser window, writes nothing
// but the preferences file and the desktop's thumbnail cache: every folder
// of the three outlines selected and its list drawn (thumbnails and posters
// decoded, tags read), a track played to its end through mpv, the
// preferences changed and saved, which rebuilds the outlines, and everything
// browsed again.
TEST(WriteGuard, BrowsingTheDemoLibraryWritesOnlyThePreferencesAndTheThumbnailCache) {
    const QString home = QStringLiteral(QVMB_DEMO_HOME);
    ASSERT_TRUE(QFileInfo::exists(home + QStringLiteral("/.demo-home-version")))
        << "no demo home at " << home.toStdString() << " (made by the demo_home test fixture)";
    QTemporaryDir config;
    // darktable keeps its library under the configuration directory, which
    // here is the test's own: it is reached through a link.
    ASSERT_TRUE(QFile::link(home + QStringLiteral("/.config/darktable"),
                            config.filePath(QStringLiteral("darktable"))));
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
    // What an earlier run wrote into the thumbnail cache is this test's own.
    QDir(home + QStringLiteral("/.cache/thumbnails")).removeRecursively();
    const TreeSnapshot before(home);
    ASSERT_GT(before.size(), 30u);

    MediaBrowserWindow window;
    window.musicList()->setPlayerFactory([](const QUrl& url) -> std::unique_ptr<MoviePlayer> {
        auto player = MpvPlayer::create(url, {"null", "null"});
        if (player) {
            player->setAudioOnly(true);
        }
        return player;
    });
    // Tall enough for every cell of the demo's folders: only cells in view are decoded.
    window.resize(900, 1500);
    window.show();

    // The libraries of the photo and music applications are among the folders browsed.
    auto names = [](const MediaFolderPtr& root) {
        QStringList result;
        for (const MediaFolderPtr& folder : root->folders()) {
            result << folder->name();
        }
        return result;
    };
    EXPECT_TRUE(names(window.media().photos()).contains(QStringLiteral("Shotwell")));
    EXPECT_TRUE(names(window.media().movies()).contains(QStringLiteral("Shotwell")));
    EXPECT_TRUE(names(window.media().music()).contains(QStringLiteral("Rhythmbox")));
    for (const char* library : {"darktable", "Lightroom Catalog", "Photos Library"}) {
        EXPECT_TRUE(names(window.media().photos()).contains(QLatin1String(library))) << library;
    }
    for (const char* library : {"Music", "Elisa", "Lollypop", "Kodi"}) {
        EXPECT_TRUE(names(window.media().music()).contains(QLatin1String(library))) << library;
    }
    EXPECT_TRUE(names(window.media().movies()).contains(QStringLiteral("Kodi")));
    const Browsed first = browse(window);
    EXPECT_GE(first.folders, 20);
    EXPECT_GE(first.pictures, 40);
    EXPECT_GE(first.tracks, 20);
    EXPECT_GE(first.posters, 6);
    EXPECT_TRUE(playShortestTrack(window));

    UserPreferences* preferences = UserPreferences::sharedPreferences();
    preferences->setPicturePaths({QStringLiteral("~/Pictures/Garden"), QStringLiteral("~/Movies")});
    preferences->setMoviePaths({QStringLiteral("~/Movies/Clips")});
    preferences->synchronize();
    const Browsed second = browse(window);
    EXPECT_GE(second.pictures, 4);
    EXPECT_GE(second.posters, 2);

    // The cache's entries are written once no picture waits.
    EXPECT_EVENTUALLY(ThumbnailLoader::instance()->pendingWrites() == 0 &&
                          ThumbnailLoader::instance()->runningCount() == 0,
                      30000);
    int entries = 0;
    const QStringList changes = checkThumbnailCache(TreeSnapshot(home).changesSince(before), home, entries);
    EXPECT_TRUE(changes.isEmpty()) << changes.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(entries, 10);
    const QString preferencesFile = PreferencesStore::filePath(UserPreferences::bundleID());
    EXPECT_TRUE(preferencesFile.startsWith(config.path()));
    EXPECT_EQ(
        QDir(config.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        (QStringList{QStringLiteral("darktable"), QFileInfo(preferencesFile).fileName()}));
}

} // namespace
