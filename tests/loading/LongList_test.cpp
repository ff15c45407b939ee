// A long list reaches the music table a slice per turn of the event loop:
// meanwhile the list is the rows the table holds, and whatever the user does
// or the folder tells in between lands on the right tracks, with none lost.

#include "browser/FakePlayer.h"
#include "browser/ListActions.h"
#include "browser/ListKeyHandler.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "model/QVTrack.h"
#include "platform/system/Path.h"
#include "support/Wait.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <gtest/gtest.h>

namespace {

// More than the table takes in one turn, several times over.
constexpr int kTracks = 150001;

MediaItemPtr track(const QString& title) {
    return std::make_shared<QVTrack>(title, QStringLiteral("Artist"), 200,
                                     Path::fileUrl(QStringLiteral("/music/%1.mp3").arg(title)));
}

// Tracks named "Track 000000" onwards, listed last first (a catalogue's own order).
std::vector<MediaItemPtr> tracks(int count) {
    std::vector<MediaItemPtr> items;
    items.reserve(static_cast<std::size_t>(count));
    for (int i = count - 1; i >= 0; --i) {
        items.push_back(track(QStringLiteral("Track %1").arg(i, 6, 10, QLatin1Char('0'))));
    }
    return items;
}

MediaFolderPtr loadedFolder(std::vector<MediaItemPtr> items) {
    MediaFolderContents contents;
    contents.files = std::move(items);
    return MediaFolder::makeLoaded(QStringLiteral("Library"), QImage(), std::move(contents));
}

class LongList : public ::testing::Test {
protected:
    LongList() {
        music.setPlayerFactory(players.factory());
        music.setTableView(&table);
        music.awakeFromNib();
        new ListKeyHandler(&actions, &actions);
        table.resize(600, 400);
        table.show();
    }

    // Runs the event loop until the table holds the whole list, checking at
    // every turn that the list counts the rows the table holds.
    void publishAll() {
        QElapsedTimer clock;
        clock.start();
        while (music.isPublishing() && clock.elapsed() < 30000) {
            QCoreApplication::processEvents();
            ASSERT_EQ(table.model()->rowCount(), music.numItems());
            ASSERT_EQ(table.verticalHeader()->count(), music.numItems());
        }
        ASSERT_FALSE(music.isPublishing()) << "the table never got the whole list";
    }
    // The list shows exactly the folder's files, in its order.
    void expectShowsAllOf(const MediaFolderPtr& folder) {
        const std::vector<MediaItemPtr>& files = folder->files();
        ASSERT_EQ(music.numItems(), static_cast<int>(files.size()));
        ASSERT_EQ(table.model()->rowCount(), music.numItems());
        for (std::size_t row = 0; row < files.size(); ++row) {
            ASSERT_EQ(music.itemAt(static_cast<int>(row)), files[row]) << "row " << row;
        }
    }
    std::vector<int> selectedRows() const {
        std::vector<int> rows;
        for (const QModelIndex& index : table.selectionModel()->selectedRows()) {
            rows.push_back(index.row());
        }
        return rows;
    }

    MusicTableView table;
    MusicListController music;
    ListActions actions{&music, &table};
    FakePlayers players;
};

TEST_F(LongList, ArrivesWholeOverSeveralTurnsAndTheTableHoldsWhatTheListCounts) {
    QAbstractItemModelTester tester(&music, QAbstractItemModelTester::FailureReportingMode::Fatal);
    // As a load publishes: the folder shown empty, then its files at once.
    const MediaFolderPtr folder = loadedFolder({});
    music.setFolder(folder);
    std::vector<MediaItemPtr> items = tracks(kTracks);
    const MediaItemPtr last = items.back();
    folder->replaceContents({}, std::move(items));

    ASSERT_TRUE(music.isPublishing());
    EXPECT_GT(music.numItems(), 0);
    EXPECT_LT(music.numItems(), kTracks);
    EXPECT_EQ(table.model()->rowCount(), music.numItems());
    ASSERT_NO_FATAL_FAILURE(publishAll());
    ASSERT_NO_FATAL_FAILURE(expectShowsAllOf(folder));
    EXPECT_EQ(table.model()->index(kTracks - 1, 0).data().toString(), last->name());

    // The same list shown again comes at once: the table has held that many rows.
    music.setFolder(loadedFolder({}));
    music.setFolder(folder);
    EXPECT_FALSE(music.isPublishing());
    EXPECT_EQ(table.model()->rowCount(), kTracks);
}

TEST_F(LongList, ASelectionEnterAndALiveEditMidwayLandOnTheRightTracks) {
    QAbstractItemModelTester tester(&music, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<MediaItemPtr> items = tracks(kTracks);
    const MediaFolderPtr folder = loadedFolder(items);
    music.setFolder(folder);
    ASSERT_TRUE(music.isPublishing());
    const int held = music.numItems();

    table.selectRow(held - 3);
    // The folder changes while the rest waits: a track comes among the rows
    // the table holds, one right after them, one among those it has not got
    // yet, and one it has not got goes.
    std::vector<MediaItemPtr> edited = items;
    edited.erase(edited.begin() + held + 100);
    edited.insert(edited.begin() + held + 500, track(QStringLiteral("Far")));
    edited.insert(edited.begin() + held, track(QStringLiteral("Boundary")));
    edited.insert(edited.begin() + held - 5, track(QStringLiteral("Near")));
    folder->replaceContents({}, edited);

    EXPECT_TRUE(music.isPublishing());
    EXPECT_EQ(table.model()->rowCount(), music.numItems());
    EXPECT_EQ(selectedRows(), std::vector<int>{held - 2});
    table.setFocus();
    QTest::keyClick(&table, Qt::Key_Return);
    ASSERT_TRUE(music.isPlaying());
    EXPECT_EQ(music.playing(), items[static_cast<std::size_t>(held - 3)].get());

    ASSERT_NO_FATAL_FAILURE(publishAll());
    ASSERT_NO_FATAL_FAILURE(expectShowsAllOf(folder));
    EXPECT_EQ(selectedRows(), std::vector<int>{held - 2});
    EXPECT_EQ(music.playing(), items[static_cast<std::size_t>(held - 3)].get());
    EXPECT_TRUE(players.last->playing);
}

TEST_F(LongList, AnotherFolderASearchOrASortMidwayShowsOnlyWhatTheyAskFor) {
    QAbstractItemModelTester tester(&music, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const MediaFolderPtr library = loadedFolder(tracks(kTracks));
    const MediaFolderPtr album = loadedFolder({track(QStringLiteral("One")), track(QStringLiteral("Two"))});

    music.setFolder(library);
    ASSERT_TRUE(music.isPublishing());
    music.setFolder(album);
    EXPECT_FALSE(music.isPublishing());
    // No slice of the library comes after.
    EXPECT_FALSE(QTest::qWaitFor([&] { return table.model()->rowCount() != 2; }, 300));
    ASSERT_NO_FATAL_FAILURE(expectShowsAllOf(album));

    music.setFolder(library);
    ASSERT_TRUE(music.isPublishing());
    music.setFilter(QStringLiteral("Track 0999"));
    EXPECT_FALSE(QTest::qWaitFor([&] { return table.model()->rowCount() != 100; }, 300));
    EXPECT_EQ(music.numItems(), 100); // 099900 to 099999

    // The whole list again, and Name clicked before it is all in: sorted on
    // a loader, the sorted list comes whole too.
    music.setFilter(QString());
    QHeaderView* header = table.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
    ASSERT_EVENTUALLY(!music.isPublishing() && music.numItems() == kTracks &&
                          music.itemAt(0)->name() == QStringLiteral("Track 000000"),
                      60000);
    ASSERT_NO_FATAL_FAILURE(expectShowsAllOf(library));
    EXPECT_EQ(music.itemAt(kTracks - 1)->name(), QStringLiteral("Track 150000"));
}

} // namespace
