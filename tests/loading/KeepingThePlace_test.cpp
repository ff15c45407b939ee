// The user's place survives changes on disk: the outline keeps what was
// expanded and selected, the list its folder, rows and order, and what plays
// plays on, while folders are added, written in place, replaced or changed in
// the middle of a read.

#include "browser/FakePlayer.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/QVMBListController.h"
#include "browser/QVMBTreeController.h"
#include "model/FolderWatcher.h"
#include "model/QVTrack.h"
#include "sources/local/LocalFolder.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QTreeView>

#include <gtest/gtest.h>

using MediaFixtures::Fixture;

namespace {

QStringList namesShown(const QVMBListController& list) {
    QStringList names;
    for (int row = 0; row < list.numItems(); ++row) {
        names.append(list.itemAt(row)->name());
    }
    return names;
}

class KeepingThePlace : public ::testing::Test {
protected:
    void TearDown() override {
        FolderLoadJob::waitForIdle();
        QCoreApplication::processEvents();
    }

    // A music track (a real MP3 whose title is its file name) at relative.
    void addTrack(const QString& relative) { MediaFixtures::copy(Fixture::UntaggedMp3, home.file(relative)); }

    TempHome home;
};

TEST_F(KeepingThePlace, ANewAlbumWhileATrackPlaysKeepsTheOutlineTheSelectionAndTheMusic) {
    addTrack(QStringLiteral("Music/Album A/a1.mp3"));
    addTrack(QStringLiteral("Music/Album B/b1.mp3"));
    addTrack(QStringLiteral("Music/Album B/b2.mp3"));
    auto root = std::make_shared<MediaFolder>();
    root->addFolder(LocalFolder::create(home.file(QStringLiteral("Music")), LocalFolder::Music));
    QTreeView outline;
    MusicTableView table;
    MusicListController music;
    FakePlayers players;
    music.setPlayerFactory(players.factory());
    music.setTableView(&table);
    music.awakeFromNib();
    QVMBTreeController tree(root, &outline, &music);
    tree.awakeFromNib();
    QAbstractItemModelTester treeTester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester listTester(&music, QAbstractItemModelTester::FailureReportingMode::Fatal);

    const QModelIndex musicRow = tree.index(0, 0);
    outline.expand(musicRow);
    ASSERT_EVENTUALLY(tree.rowCount(musicRow) == 2, 5000);
    const QModelIndex albumB = tree.index(1, 0, musicRow);
    ASSERT_EQ(albumB.data().toString(), QStringLiteral("Album B"));
    outline.selectionModel()->setCurrentIndex(albumB, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    const MediaFolderPtr shown = tree.selection();
    ASSERT_EVENTUALLY(music.numItems() == 2 && !music.isLoading(), 5000);
    table.selectAll();
    music.play();
    ASSERT_TRUE(music.isPlaying());
    FakePlayer* player = players.last;

    QDir().mkpath(home.file(QStringLiteral("Music/Album C")));
    addTrack(QStringLiteral("Music/Album B/b3.mp3"));
    ASSERT_EVENTUALLY(tree.rowCount(musicRow) == 3 && music.numItems() == 3, 5000);

    EXPECT_TRUE(outline.isExpanded(musicRow));
    EXPECT_EQ(tree.selection(), shown);
    EXPECT_EQ(outline.selectionModel()->selectedRows().value(0).data().toString(), QStringLiteral("Album B"));
    EXPECT_EQ(music.folder(), shown);
    EXPECT_TRUE(music.isPlaying());
    EXPECT_EQ(players.last, player);
    EXPECT_TRUE(player->playing);
    EXPECT_EQ(namesShown(music), (QStringList{"b1", "b2", "b3"}));
    EXPECT_EQ(table.selectionModel()->selectedRows().size(), 2); // the two selected before
}

TEST_F(KeepingThePlace, AChangeMadeWhileAFolderIsFirstReadShows) {
    home.writeFile(QStringLiteral("Pictures/a.jpg"));
    QVMBListController list;
    list.setFolder(LocalFolder::create(home.file(QStringLiteral("Pictures")), LocalFolder::Pictures));
    // The directory is read; before the result reaches the main thread, a copy finishes.
    FolderLoadJob::waitForIdle();
    home.writeFile(QStringLiteral("Pictures/b.jpg"));
    EXPECT_EVENTUALLY(namesShown(list) == (QStringList{"a", "b"}), 5000);
}

TEST_F(KeepingThePlace, ADirectoryReplacedOrPutBackStaysLive) {
    home.writeFile(QStringLiteral("Pictures/Trip/a.jpg"));
    const QString trip = home.file(QStringLiteral("Pictures/Trip"));
    QVMBListController list;
    list.setFolder(LocalFolder::create(trip, LocalFolder::Pictures));
    ASSERT_EVENTUALLY(namesShown(list) == QStringList{"a"}, 5000);

    // A sync tool's swap: the old directory moved away, a new one in its place.
    ASSERT_TRUE(QDir().rename(trip, trip + QStringLiteral(".old")));
    home.writeFile(QStringLiteral("Pictures/Trip/b.jpg"));
    ASSERT_EVENTUALLY(namesShown(list) == QStringList{"b"}, 5000);
    home.writeFile(QStringLiteral("Pictures/Trip/c.jpg"));
    ASSERT_EVENTUALLY(namesShown(list) == (QStringList{"b", "c"}), 5000);

    // Removed (a disk unplugged): empty; back again: followed again.
    ASSERT_TRUE(QDir(trip).removeRecursively());
    ASSERT_EVENTUALLY(list.numItems() == 0, 5000);
    home.writeFile(QStringLiteral("Pictures/Trip/d.jpg"));
    ASSERT_EVENTUALLY(namesShown(list) == QStringList{"d"}, 5000);
    home.writeFile(QStringLiteral("Pictures/Trip/e.jpg"));
    EXPECT_EVENTUALLY(namesShown(list) == (QStringList{"d", "e"}), 5000);
}

TEST_F(KeepingThePlace, TheUsersSortHoldsAndPlacesTheTracksThatCome) {
    for (const char* name : {"b", "d", "a", "e"}) {
        addTrack(QStringLiteral("Music/%1.mp3").arg(QLatin1String(name)));
    }
    MusicTableView table;
    MusicListController music;
    music.setTableView(&table);
    music.awakeFromNib();
    music.setFolder(LocalFolder::create(home.file(QStringLiteral("Music")), LocalFolder::Music));
    // Clicked while the folder is read: sorted once it can be, never waiting for it here.
    music.didClickTableColumn(&table, 0);
    music.didClickTableColumn(&table, 0);
    ASSERT_EVENTUALLY(namesShown(music) == (QStringList{"e", "d", "b", "a"}), 5000);

    addTrack(QStringLiteral("Music/c.mp3"));
    addTrack(QStringLiteral("Music/f.mp3"));
    EXPECT_EVENTUALLY(namesShown(music) == (QStringList{"f", "e", "d", "c", "b", "a"}), 5000);
}

TEST_F(KeepingThePlace, AFileWrittenInPlaceShowsWhatItNowSays) {
    const QString song = MediaFixtures::copy(Fixture::TaggedMp3, home.file(QStringLiteral("Music/song.mp3")));
    MusicTableView table;
    MusicListController music;
    music.setTableView(&table);
    music.awakeFromNib();
    music.setFolder(LocalFolder::create(home.file(QStringLiteral("Music")), LocalFolder::Music));
    ASSERT_EVENTUALLY(namesShown(music) == QStringList{"Morning Song"}, 5000);

    // Re-tagged: the same file, new contents (here: no title any more).
    QFile file(song);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QFile untagged(MediaFixtures::path(Fixture::UntaggedMp3));
    ASSERT_TRUE(untagged.open(QIODevice::ReadOnly));
    file.write(untagged.readAll());
    file.close();
    EXPECT_EVENTUALLY(namesShown(music) == QStringList{"song"}, 5000);
}

} // namespace
