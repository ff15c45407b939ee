// The browser against a real media server (ReadyMedia) in the test's own
// network namespace: discovery, the tabs, what items carry, paging through
// thousands, pictures, playing, dragging out and a server that dies.

#include "browser/MediaBrowserWindow.h"
#include "browser/MovieListController.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "browser/RemoteDragData.h"
#include "iconview/IconView.h"
#include "model/Photo.h"
#include "model/QVTrack.h"
#include "network/MiniDlna.h"
#include "network/ServerFixture.h"
#include "platform/media/MoviePlayer.h"
#include "platform/media/MpvPlayer.h"
#include "platform/network/RemoteFiles.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "sources/network/NetworkItems.h"
#include "support/LoopWatch.h"
#include "support/TempHome.h"
#include "support/Wait.h"
#include "ui_MediaBrowser.h"

#include <QApplication>
#include <QFile>
#include <QSet>
#include <QTreeView>

#include <csignal>
#include <gtest/gtest.h>

using ServerFixture::kServerName;

namespace {

QStringList rowNames(QAbstractItemModel* model, const QModelIndex& parent = {}) {
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        names.append(model->index(row, 0, parent).data().toString());
    }
    return names;
}

QModelIndex rowNamed(QAbstractItemModel* model, const QString& name, const QModelIndex& parent = {}) {
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (index.data().toString() == name) {
            return index;
        }
    }
    return {};
}

// The folder of the server named name in a tab of the window, once discovered.
MediaFolderPtr serverFolder(MediaBrowserWindow& window, int tab, const QString& name = kServerName,
                            int timeoutMs = 8000) {
    MediaFolder* root = window.treeController(tab)->folderForIndex({});
    MediaFolderPtr found;
    (void)QTest::qWaitFor(
        [&] {
            for (const MediaFolderPtr& folder : root->folders()) {
                if (folder->name() == name) {
                    found = folder;
                }
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

// The folder's items once it has read the whole container.
std::vector<MediaItemPtr> allItems(const MediaFolderPtr& folder, std::size_t expected,
                                   int timeoutMs = 15000) {
    folder->loadInBackground();
    (void)QTest::qWaitFor([&] { return folder->isLoaded() && folder->files().size() >= expected; },
                          timeoutMs);
    return folder->isLoaded() ? folder->files() : std::vector<MediaItemPtr>();
}

MediaItemPtr itemNamed(const std::vector<MediaItemPtr>& items, const QString& name) {
    for (const MediaItemPtr& item : items) {
        if (item->name() == name) {
            return item;
        }
    }
    return nullptr;
}

// Every test browses the one server of the run; the environment starts it first.
class ServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ServerFixture::server(); }
    void TearDown() override { ServerFixture::stopServer(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

TEST(MediaServers, AServerIsShownByItsNameInEachTabWithTheFoldersOfThatTabsKind) {
    TempHome home;
    MediaBrowserWindow window;
    window.show();
    for (int tab = 0; tab < 3; ++tab) {
        QVMBTreeController* outline = window.treeController(tab);
        ASSERT_EVENTUALLY(rowNamed(outline, kServerName).isValid(), 8000) << "tab " << tab;
        const QModelIndex server = rowNamed(outline, kServerName);
        ASSERT_EVENTUALLY(outline->rowCount(server) > 0, 8000) << "tab " << tab;
        const QStringList folders = rowNames(outline, server);
        // The server sorts its top by kind: each tab keeps its own kind and
        // the folders that hold every kind.
        const QString own[] = {QStringLiteral("Pictures"), QStringLiteral("Music"), QStringLiteral("Video")};
        for (int kind = 0; kind < 3; ++kind) {
            EXPECT_EQ(folders.contains(own[kind]), kind == tab)
                << folders.join(QLatin1Char('|')).toStdString();
        }
        EXPECT_TRUE(folders.contains(QStringLiteral("Browse Folders")));
    }
}

TEST(MediaServers, ItemsCarryWhatTheServerSaysOfThemWithUrlsOnTheServer) {
    TempHome home;
    MediaBrowserWindow window;
    const MediaFolderPtr music = ServerFixture::descend(
        serverFolder(window, 1), {QStringLiteral("Music"), QStringLiteral("All Music")});
    ASSERT_TRUE(music);
    const std::vector<MediaItemPtr> tracks = allItems(music, 2);
    ASSERT_EQ(tracks.size(), 2u);
    const auto song = std::dynamic_pointer_cast<QVTrack>(itemNamed(tracks, QStringLiteral("Morning Song")));
    ASSERT_TRUE(song);
    EXPECT_EQ(song->artist(), QStringLiteral("Zoë Keating"));
    // The server's own measure of the two seconds (ReadyMedia estimates an MP3's from its bit rate).
    EXPECT_NEAR(song->length(), 2, 1);
    EXPECT_EQ(song->url().scheme(), QStringLiteral("http"));
    EXPECT_EQ(song->url().host(), QStringLiteral("127.0.0.1"));
    const ServerItemDetails* details = NetworkItems::detailsOf(*song);
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->mime, QStringLiteral("audio/mpeg"));
    EXPECT_GT(details->size, 0);

    const MediaFolderPtr video = ServerFixture::descend(
        serverFolder(window, 2), {QStringLiteral("Video"), QStringLiteral("All Video")});
    const std::vector<MediaItemPtr> movies = allItems(video, 2);
    const MediaItemPtr clip = itemNamed(movies, QStringLiteral("Holiday Clip"));
    ASSERT_TRUE(clip);
    ASSERT_NE(NetworkItems::detailsOf(*clip), nullptr);
    EXPECT_EQ(NetworkItems::detailsOf(*clip)->resolution, QSize(64, 48));
    EXPECT_GE(NetworkItems::detailsOf(*clip)->durationMs, 1000);

    const MediaFolderPtr holiday = ServerFixture::descend(
        serverFolder(window, 0),
        {QStringLiteral("Browse Folders"), QStringLiteral("Pictures"), QStringLiteral("Holiday")});
    const std::vector<MediaItemPtr> pictures = allItems(holiday, 2);
    const MediaItemPtr beach = itemNamed(pictures, QStringLiteral("Beach"));
    ASSERT_TRUE(beach);
    EXPECT_EQ(NetworkItems::detailsOf(*beach)->resolution, QSize(640, 480));
    // The server's own small picture of it.
    EXPECT_EQ(beach->thumbnailUrl().host(), QStringLiteral("127.0.0.1"));
    // Tabs take their own kind only.
    EXPECT_TRUE(std::all_of(pictures.begin(), pictures.end(), [](const MediaItemPtr& item) {
        return dynamic_cast<Photo*>(item.get()) != nullptr;
    }));
}

TEST(MediaServers, AContainerOfThousandsShowsItsFirstPageAtOnceThenAllOfItOnce) {
    TempHome home;
    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr many =
        ServerFixture::descend(serverFolder(window, 0), {QStringLiteral("Browse Folders"),
                                                         QStringLiteral("Pictures"), QStringLiteral("Many")});
    ASSERT_TRUE(many);
    std::vector<int> counts;
    PhotoListController* list = window.photoList();
    NotificationCenter::defaultCenter().addObserver(
        &counts, QVMBListCtrlNumItemsChanged, list,
        [&](const Notification&) { counts.push_back(list->numItems()); });
    list->setFolder(many);
    EXPECT_EVENTUALLY(list->numItems() == ServerFixture::kManyPictures, 20000);
    NotificationCenter::defaultCenter().removeObserver(&counts);
    // The first page is shown before the rest is read.
    const auto firstShown = std::find_if(counts.begin(), counts.end(), [](int count) { return count > 0; });
    ASSERT_NE(firstShown, counts.end());
    EXPECT_LT(*firstShown, ServerFixture::kManyPictures);
    // Every picture once.
    QSet<QUrl> urls;
    for (int i = 0; i < list->numItems(); ++i) {
        urls.insert(list->itemAt(i)->url());
    }
    EXPECT_EQ(urls.size(), ServerFixture::kManyPictures);
}

TEST(MediaServers, GridCellsShowTheServersThumbnailsAndMoviesWithoutOneAFrameOfTheirStream) {
    TempHome home;
    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr holiday = ServerFixture::descend(
        serverFolder(window, 0),
        {QStringLiteral("Browse Folders"), QStringLiteral("Pictures"), QStringLiteral("Holiday")});
    ASSERT_TRUE(holiday);
    PhotoListController* photos = window.photoList();
    photos->setFolder(holiday);
    ASSERT_EVENTUALLY(photos->numItems() == 2, 10000);
    // The grid, drawing its cells, has their pictures fetched: both arrive.
    const auto pixelsArrived = [photos] {
        int arrived = 0;
        for (const auto& [key, image] : photos->cachedImages()) {
            arrived += image->pixels().isNull() ? 0 : 1;
        }
        return arrived;
    };
    ASSERT_EVENTUALLY(pixelsArrived() == 2, 10000);
    for (int i = 0; i < 2; ++i) {
        const IconImagePtr image = photos->imageForIndex(photos->iconView(), i);
        ASSERT_TRUE(image);
        // The server's thumbnail: a small JPEG of the picture's shape, not the picture.
        const QSize shape = photos->itemAt(i)->name() == QStringLiteral("Beach") ? QSize(4, 3) : QSize(3, 4);
        const QSize pixels = image->pixels().size();
        EXPECT_LE(std::max(pixels.width(), pixels.height()), 160);
        EXPECT_EQ(pixels.width() * shape.height(), pixels.height() * shape.width());
    }

    const MediaFolderPtr video = ServerFixture::descend(
        serverFolder(window, 2), {QStringLiteral("Video"), QStringLiteral("All Video")});
    MovieListController* movies = window.movieList();
    movies->setFolder(video);
    ASSERT_EVENTUALLY(movies->numItems() == 2, 10000);
    for (int i = 0; i < 2; ++i) {
        const IconImagePtr poster = movies->getImage(*movies->itemAt(i));
        poster->requestPixels(nullptr, {});
        ASSERT_EVENTUALLY(!poster->pixels().isNull(), 15000);
        // A frame of the movie (its 64x48 or 160x120 picture fitted into the
        // poster box), not the icon of its file type.
        const QSizeF size = poster->size();
        EXPECT_NEAR(size.width() / size.height(), 4.0 / 3.0, 0.05) << movies->itemAt(i)->name().toStdString();
    }
}

TEST(MediaServers, ATrackPlaysFromTheServerToItsEnd) {
    TempHome home;
    MediaBrowserWindow window;
    const MediaFolderPtr music = ServerFixture::descend(
        serverFolder(window, 1), {QStringLiteral("Music"), QStringLiteral("All Music")});
    ASSERT_TRUE(music);
    MusicTableView table;
    MusicListController list;
    list.setTableView(&table);
    list.awakeFromNib();
    list.setPlayerFactory([](const QUrl& url) { return MpvPlayer::create(url, {"null", "null", true}); });
    list.setFolder(music);
    ASSERT_EVENTUALLY(list.numItems() == 2, 10000);
    const int row = list.itemAt(0)->name() == QStringLiteral("Morning Song") ? 0 : 1;
    table.selectRow(row);
    ASSERT_TRUE(list.canPlay());
    list.play();
    ASSERT_TRUE(list.isPlaying());
    EXPECT_EQ(list.playing()->url().scheme(), QStringLiteral("http"));
    // Two seconds of sound, streamed from the server, to its end.
    EXPECT_EVENTUALLY(!list.isPlaying(), 15000);
}

TEST(MediaServers, DraggingOutFetchesTheFileIntoTheCacheAndHandsOverItsPath) {
    TempHome home;
    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr holiday = ServerFixture::descend(
        serverFolder(window, 0),
        {QStringLiteral("Browse Folders"), QStringLiteral("Pictures"), QStringLiteral("Holiday")});
    ASSERT_TRUE(holiday);
    PhotoListController* photos = window.photoList();
    photos->setFolder(holiday);
    ASSERT_EVENTUALLY(photos->numItems() == 2, 10000);
    const IndexSet both{0, 1};
    const std::unique_ptr<QMimeData> pasteboard = photos->newPasteboard(photos->iconView(), both);
    ASSERT_TRUE(photos->writeRowsWithIndexes(photos->iconView(), both, pasteboard.get()));
    ASSERT_TRUE(pasteboard->hasUrls());
    // What a drop reads: file URLs of whole files, once they have arrived.
    const QList<QUrl> urls = pasteboard->urls();
    ASSERT_EQ(urls.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString path = Path::localPath(urls[i]);
        EXPECT_TRUE(path.startsWith(RemoteFiles::cacheFolder())) << path.toStdString();
        const QString name = photos->itemAt(i)->name();
        EXPECT_EQ(Path::lastComponent(path), name + QStringLiteral(".jpg"));
        QFile fetched(path);
        QFile original(ServerFixture::media() + QStringLiteral("/Pictures/Holiday/") + name +
                       QStringLiteral(".jpg"));
        ASSERT_TRUE(fetched.open(QIODevice::ReadOnly));
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(fetched.readAll(), original.readAll());
    }
}

TEST(MediaServers, AServerKilledWhileItIsBrowsedLeavesTheWindowWorkingAndGreysOutWithoutAWord) {
    TempHome home;
    // A second server on the same media and a copy of its database: no indexing.
    const QString database = home.makeDirectory(QStringLiteral("doomed-db"));
    ASSERT_TRUE(QFile::copy(ServerFixture::database() + QStringLiteral("/files.db"),
                            database + QStringLiteral("/files.db")));
    QFile(database + QStringLiteral("/indexed")).open(QIODevice::WriteOnly);
    MiniDlna doomed(QStringLiteral("Doomed Server"), ServerFixture::media(), database, 8201);
    ASSERT_TRUE(doomed.start(30000));

    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr top = serverFolder(window, 0, QStringLiteral("Doomed Server"), 15000);
    ASSERT_TRUE(top);
    const MediaFolderPtr many = ServerFixture::descend(
        top, {QStringLiteral("Browse Folders"), QStringLiteral("Pictures"), QStringLiteral("Many")});
    ASSERT_TRUE(many);
    LoopWatch watch;
    window.photoList()->setFolder(many);
    // It stops answering while its container is read, then dies.
    doomed.signal(SIGSTOP);
    QTest::qWait(2000);
    doomed.signal(SIGKILL);
    // Its announcements lapse: its folders grey out where they are, the list
    // keeps what it showed, and no window opens to say so.
    QVMBTreeController* outline = window.treeController(0);
    EXPECT_EVENTUALLY(!top->isAvailable(), 30000);
    const QModelIndex row = rowNamed(outline, QStringLiteral("Doomed Server"));
    ASSERT_TRUE(row.isValid());
    EXPECT_FALSE(outline->flags(row).testFlag(Qt::ItemIsEnabled));
    EXPECT_EQ(window.photoList()->folder(), many);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_TRUE(widget == &window || !widget->isVisible()) << widget->metaObject()->className();
    }
    // The window's event loop never stopped for long (a second at most, on a busy machine).
    EXPECT_LT(watch.longest, 1000);
    // The other server is untouched.
    EXPECT_TRUE(serverFolder(window, 0)->isAvailable());
}

} // namespace
