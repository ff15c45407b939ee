#include "FakePlayer.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "model/QVTrack.h"
#include "platform/media/MpvPlayer.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

QUrl fileAt(const QString& name) {
    return Path::fileUrl(QStringLiteral("/music/") + name);
}

std::shared_ptr<QVTrack> track(const QString& title, const QString& artist, quint32 length, const QUrl& url) {
    return std::make_shared<QVTrack>(title, artist, length, url);
}

class MusicListTest : public ::testing::Test {
protected:
    MusicListTest() {
        list.setTableView(&table);
        list.awakeFromNib();
        list.setPlayerFactory(players.factory());
        NotificationCenter::defaultCenter().addObserver(this, QVMBListCtrlIsPlayingChanged, &list,
                                                        [this](const Notification&) { ++playingPosts; });
    }
    ~MusicListTest() override { NotificationCenter::defaultCenter().removeObserver(this); }

    void show(std::vector<MediaItemPtr> items) {
        folder = std::make_shared<MediaFolder>();
        folder->addFiles(std::move(items));
        list.setFolder(folder);
    }
    void select(std::initializer_list<int> rows) {
        table.clearSelection();
        for (int row : rows) {
            table.selectionModel()->select(list.index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        table.selectionModel()->setCurrentIndex(list.index(*std::prev(rows.end()), 0),
                                                QItemSelectionModel::NoUpdate);
    }
    QStringList column(int c) const {
        QStringList values;
        for (int row = 0; row < list.rowCount(); ++row) {
            values.append(list.data(list.index(row, c)).toString());
        }
        return values;
    }
    QString playingTitle() const { return list.playing() ? list.playing()->name() : QString(); }
    // The rows whose title cell shows the playing icon.
    std::vector<int> rowsWithPlayingIcon() const {
        std::vector<int> rows;
        for (int row = 0; row < list.rowCount(); ++row) {
            const QIcon icon = qvariant_cast<QIcon>(list.data(list.index(row, 0), Qt::DecorationRole));
            if (icon.cacheKey() !=
                list.fileIcon(list.filtered()[static_cast<std::size_t>(row)]->url()).cacheKey()) {
                rows.push_back(row);
            }
        }
        return rows;
    }

    MusicTableView table;
    MusicListController list;
    QAbstractItemModelTester tester{&list, QAbstractItemModelTester::FailureReportingMode::Fatal};
    FakePlayers players;
    MediaFolderPtr folder;
    int playingPosts = 0;
};

TEST(MusicListTime, DurationTexts) {
    const std::vector<std::pair<quint32, const char*>> cases = {
        {0, "00:00"},
        {59, "00:59"},
        {65, "01:05"},
        {3599, "59:59"},
        {3600, "1:00:00"},
        {3725, "1:02:05"},
        {86399, "23:59:59"},
        {86400, "24:00:00"},
        {90000, "25:00:00"},
        {4294967294u, "1193046:28:14"},
        {QVTrack::UnknownLength, "-"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(MusicListController::timeToString(seconds), QString::fromLatin1(text)) << seconds;
    }
}

TEST_F(MusicListTest, ColumnsShowTitleArtistAndTime) {
    EXPECT_EQ(list.rowCount(), 0);
    show({track(QStringLiteral("Song"), QStringLiteral("Band"), 125, fileAt(QStringLiteral("a.mp3")))});
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(column(0), QStringList{QStringLiteral("Song")});
    EXPECT_EQ(column(1), QStringList{QStringLiteral("Band")});
    EXPECT_EQ(column(2), QStringList{QStringLiteral("02:05")});
    EXPECT_FALSE(list.data(list.index(0, 1), Qt::DecorationRole).isValid());
    EXPECT_EQ(list.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Time"));
    EXPECT_EQ(list.data(list.index(0, 0), Qt::FontRole).value<QFont>().pointSize(), 10);
}

TEST_F(MusicListTest, HeaderClicksSortTheWholeFolderAndMoveTheIndicator) {
    show({track(QStringLiteral("b"), QStringLiteral("Zed"), 600, fileAt(QStringLiteral("1.mp3"))),
          track(QStringLiteral("B"), QString(), QVTrack::UnknownLength, fileAt(QStringLiteral("2.mp3"))),
          track(QStringLiteral("a"), QStringLiteral("abba"), 61, fileAt(QStringLiteral("3.mp3"))),
          track(QStringLiteral("c"), QStringLiteral(""), 9, fileAt(QStringLiteral("4.mp3")))});
    QHeaderView* header = table.horizontalHeader();
    list.setFilter(QStringLiteral("b"));

    list.didClickTableColumn(&table, 0);
    EXPECT_TRUE(list.sortAscending());
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    // The filter still applies to the re-sorted folder: "a" and "B"/"b" match through title or artist.
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("b")}));
    list.setFilter(QString());
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("b"),
                                      QStringLiteral("c")}));

    list.didClickTableColumn(&table, 0);
    EXPECT_FALSE(list.sortAscending());
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a"),
                                      QStringLiteral("B")}));

    // Another column starts ascending; a missing artist sorts as the empty string, keeping the order of ties.
    list.didClickTableColumn(&table, 1);
    EXPECT_TRUE(list.sortAscending());
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("c"), QStringLiteral("B"), QStringLiteral("b"),
                                      QStringLiteral("a")}));

    // Time sorts by seconds, not by the text, with the unknown length last when ascending.
    list.didClickTableColumn(&table, 2);
    EXPECT_EQ(column(2), (QStringList{QStringLiteral("00:09"), QStringLiteral("01:01"),
                                      QStringLiteral("10:00"), QStringLiteral("-")}));
    list.didClickTableColumn(&table, 2);
    EXPECT_EQ(column(2), (QStringList{QStringLiteral("-"), QStringLiteral("10:00"), QStringLiteral("01:01"),
                                      QStringLiteral("00:09")}));
    // The order lives in the folder itself.
    EXPECT_EQ(folder->files().front()->name(), QStringLiteral("B"));
}

TEST_F(MusicListTest, SortingAndFilteringStopPlaybackAndClearTheSelection) {
    show({track(QStringLiteral("a"), {}, 1, fileAt(QStringLiteral("a.mp3"))),
          track(QStringLiteral("b"), {}, 2, fileAt(QStringLiteral("b.mp3")))});
    select({1});
    list.play();
    ASSERT_TRUE(list.isPlaying());
    list.didClickTableColumn(&table, 0);
    EXPECT_FALSE(list.isPlaying());
    EXPECT_FALSE(table.selectionModel()->hasSelection());

    select({0});
    list.play();
    const int posts = playingPosts;
    list.setFilter(QStringLiteral("a"));
    EXPECT_FALSE(list.isPlaying());
    EXPECT_FALSE(list.movie());
    EXPECT_GT(playingPosts, posts);
}

TEST_F(MusicListTest, SelectedRowsPlayInRowOrderWithOneNotificationAtEachEnd) {
    show({track(QStringLiteral("t0"), {}, 1, fileAt(QStringLiteral("0.mp3"))),
          track(QStringLiteral("t1"), {}, 1, fileAt(QStringLiteral("1.mp3"))),
          track(QStringLiteral("t2"), {}, 1, fileAt(QStringLiteral("2.m4a"))),
          track(QStringLiteral("t3"), {}, 1, fileAt(QStringLiteral("3.mp3")))});
    select({3, 0, 2});
    EXPECT_TRUE(list.canPlay());
    playingPosts = 0;
    list.play();
    EXPECT_EQ(playingPosts, 1);
    EXPECT_EQ(playingTitle(), QStringLiteral("t0"));
    EXPECT_TRUE(players.last->playing);
    EXPECT_TRUE(players.last->audioOnly);
    EXPECT_EQ(rowsWithPlayingIcon(), std::vector<int>{0});

    // A later change of the selection does not change the queue.
    select({1});
    playingPosts = 0;
    players.finishLast();
    EXPECT_EQ(playingTitle(), QStringLiteral("t2"));
    EXPECT_EQ(rowsWithPlayingIcon(), std::vector<int>{2});
    players.finishLast();
    EXPECT_EQ(playingTitle(), QStringLiteral("t3"));
    EXPECT_TRUE(list.isPlaying());
    EXPECT_EQ(playingPosts, 0);

    players.finishLast();
    EXPECT_FALSE(list.isPlaying());
    EXPECT_EQ(playingPosts, 1);
    EXPECT_TRUE(rowsWithPlayingIcon().empty());
}

TEST_F(MusicListTest, TracksThatCannotPlayAreSkippedAndTheLastEndStops) {
    const QUrl refused = fileAt(QStringLiteral("broken.mp3"));
    players.refused.insert(refused);
    show({track(QStringLiteral("cloud"), {}, 1, QUrl(QStringLiteral("https://example.com/song.mp3"))),
          track(QStringLiteral("good"), {}, 1, fileAt(QStringLiteral("good.mp3"))),
          track(QStringLiteral("text"), {}, 1, fileAt(QStringLiteral("notes.txt"))),
          track(QStringLiteral("broken"), {}, 1, refused),
          track(QStringLiteral("last"), {}, 1, fileAt(QStringLiteral("last.mp3"))),
          track(QStringLiteral("broken again"), {}, 1, refused)});

    // A row without a file cannot start playback on its own.
    select({0});
    EXPECT_FALSE(list.canPlay());

    select({0, 1, 2, 3, 4, 5});
    list.play();
    EXPECT_EQ(playingTitle(), QStringLiteral("good"));
    players.finishLast();
    EXPECT_EQ(playingTitle(), QStringLiteral("last"));
    EXPECT_EQ(players.opened, (std::vector<QUrl>{fileAt(QStringLiteral("good.mp3")), refused,
                                                 fileAt(QStringLiteral("last.mp3"))}));
    playingPosts = 0;
    players.finishLast();
    // Only unplayable tracks were left: playback ends, with no icon left behind.
    EXPECT_FALSE(list.isPlaying());
    EXPECT_FALSE(list.movie());
    EXPECT_EQ(playingPosts, 1);
    EXPECT_TRUE(rowsWithPlayingIcon().empty());

    // When nothing selected can play, playing starts nothing.
    select({3, 5});
    list.play();
    EXPECT_FALSE(list.isPlaying());
}

TEST_F(MusicListTest, DoubleClickStopsThePlayingTrackAndPlaysAnyOther) {
    show({track(QStringLiteral("a"), {}, 1, fileAt(QStringLiteral("a.mp3"))),
          track(QStringLiteral("b"), {}, 1, fileAt(QStringLiteral("b.mp3")))});
    list.doubleClick();
    EXPECT_FALSE(list.isPlaying());

    select({0});
    list.doubleClick();
    EXPECT_EQ(playingTitle(), QStringLiteral("a"));
    select({1});
    list.doubleClick();
    EXPECT_EQ(playingTitle(), QStringLiteral("b"));
    list.doubleClick();
    EXPECT_FALSE(list.isPlaying());
}

TEST_F(MusicListTest, EverySelectionChangeAsksTheWindowToLookAgain) {
    show({track(QStringLiteral("a"), {}, 1, fileAt(QStringLiteral("a.mp3"))),
          track(QStringLiteral("b"), {}, 1, fileAt(QStringLiteral("b.mp3")))});
    playingPosts = 0;
    EXPECT_FALSE(list.canPlay());
    table.selectRow(0);
    EXPECT_EQ(playingPosts, 1);
    EXPECT_TRUE(list.canPlay());
    table.selectRow(1);
    table.clearSelection();
    EXPECT_EQ(playingPosts, 3);
    EXPECT_FALSE(list.canPlay());
}

TEST_F(MusicListTest, DraggedRowsCarryTheirFilesInRowOrder) {
    show({track(QStringLiteral("a"), {}, 1, fileAt(QStringLiteral("a b.mp3"))),
          track(QStringLiteral("cloud"), {}, 1, QUrl(QStringLiteral("https://example.com/c.mp3"))),
          track(QStringLiteral("c"), {}, 1, QUrl(QStringLiteral("file://localhost/music/c%23.m4a")))});
    EXPECT_EQ(list.mimeTypes(), QStringList{QStringLiteral("text/uri-list")});
    EXPECT_EQ(list.supportedDragActions(), Qt::CopyAction);
    EXPECT_EQ(MusicTableView::draggingSourceOperationMaskForLocal(true), Qt::CopyAction);
    std::unique_ptr<QMimeData> mime(
        list.mimeData({list.index(2, 1), list.index(0, 0), list.index(1, 0), list.index(2, 0)}));
    EXPECT_EQ(mime->urls(), (QList<QUrl>{fileAt(QStringLiteral("a b.mp3")),
                                         Path::fileUrl(QStringLiteral("/music/c#.m4a"))}));
    EXPECT_EQ(mime->formats(), QStringList{QStringLiteral("text/uri-list")});

    // The older request keeps the order it is given.
    QMimeData listed;
    EXPECT_TRUE(list.writeRows(&table, {2, 0}, &listed));
    EXPECT_EQ(listed.urls().front(), Path::fileUrl(QStringLiteral("/music/c#.m4a")));
}

TEST_F(MusicListTest, FileIconsAreMadeOncePerExactExtension) {
    const QIcon lower = list.fileIcon(fileAt(QStringLiteral("one.mp3")));
    EXPECT_FALSE(lower.isNull());
    EXPECT_EQ(list.fileIcon(fileAt(QStringLiteral("two.mp3"))).cacheKey(), lower.cacheKey());
    list.fileIcon(fileAt(QStringLiteral("three.MP3")));
    list.fileIcon(fileAt(QStringLiteral("README")));
    EXPECT_EQ(list.iconCacheCount(), 3);
}

// Two real tones through libmpv, one after the other, with no sound device.
TEST(MusicListPlayback, PlaysGeneratedTonesOneAfterAnother) {
    TempHome home;
    const QString first =
        MediaFixtures::copy(MediaFixtures::Fixture::UntaggedMp3, home.file(QStringLiteral("a.mp3")));
    const QString second =
        MediaFixtures::copy(MediaFixtures::Fixture::TaggedM4a, home.file(QStringLiteral("b.m4a")));
    MusicTableView table;
    MusicListController list;
    list.setTableView(&table);
    list.awakeFromNib();
    list.setPlayerFactory([](const QUrl& url) { return MpvPlayer::create(url, {"null", "null"}); });
    auto folder = std::make_shared<MediaFolder>();
    folder->addFile(QVTrack::trackFromFile(first));
    folder->addFile(QVTrack::trackFromFile(second));
    list.setFolder(folder);
    table.selectAll();
    list.play();
    ASSERT_TRUE(list.isPlaying());
    EXPECT_EQ(list.playing()->url(), Path::fileUrl(first));
    ASSERT_EVENTUALLY(list.playing() && list.playing()->url() == Path::fileUrl(second), 10000);
    EXPECT_EVENTUALLY(!list.isPlaying(), 10000);
}

// A track mpv cannot play hands the queue on to the next one; after the last
// the list stops and says so, and a later selection plays.
TEST(MusicListPlayback, ABrokenTrackHandsTheQueueOnToTheNext) {
    TempHome home;
    const QString broken = home.writeFile(QStringLiteral("a broken.mp3"));
    const QString good =
        MediaFixtures::copy(MediaFixtures::Fixture::UntaggedMp3, home.file(QStringLiteral("b good.mp3")));
    MusicTableView table;
    MusicListController list;
    list.setTableView(&table);
    list.awakeFromNib();
    list.setPlayerFactory([](const QUrl& url) { return MpvPlayer::create(url, {"null", "null"}); });
    int playingPosts = 0;
    NotificationCenter::defaultCenter().addObserver(&playingPosts, QVMBListCtrlIsPlayingChanged, &list,
                                                    [&](const Notification&) { ++playingPosts; });
    auto folder = std::make_shared<MediaFolder>();
    folder->addFile(
        std::make_shared<QVTrack>(QStringLiteral("a broken"), QString(), 1, Path::fileUrl(broken)));
    folder->addFile(QVTrack::trackFromFile(good));
    list.setFolder(folder);

    table.selectAll();
    playingPosts = 0; // a selection change asks too
    list.play();
    ASSERT_TRUE(list.isPlaying());
    EXPECT_EQ(list.playing()->url(), Path::fileUrl(broken));
    EXPECT_EVENTUALLY(list.playing() && list.playing()->url() == Path::fileUrl(good), 10000);
    EXPECT_EVENTUALLY(!list.isPlaying(), 10000);
    EXPECT_EQ(playingPosts, 2); // started, ended

    table.selectRow(0);
    list.play();
    EXPECT_EVENTUALLY(!list.isPlaying(), 10000);
    table.selectRow(1);
    list.play();
    EXPECT_TRUE(list.isPlaying());
    NotificationCenter::defaultCenter().removeObserver(&playingPosts);
}

} // namespace
