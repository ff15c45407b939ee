#include "browser/FakePlayer.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBListController.h"
#include "iconview/IconView.h"
#include "model/FolderWatcher.h"
#include "model/QVTrack.h"
#include "platform/system/NotificationCenter.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/catalogues/RhythmboxFolder.h"
#include "sources/catalogues/ShotwellFolder.h"
#include "sources/local/LocalFolder.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>

#include <cstdio>
#include <gtest/gtest.h>

namespace {

QStringList sortedNames(const std::vector<MediaItemPtr>& items) {
    QStringList names;
    for (const MediaItemPtr& item : items) {
        names.append(item->name());
    }
    names.sort();
    return names;
}

class LiveFolder : public ::testing::Test {
protected:
    void TearDown() override {
        FolderWatcher::shared().setWatchLimit(-1);
        FolderLoadJob::waitForIdle();
        QCoreApplication::processEvents();
    }

    // A pictures folder of the given files, loaded as the browser loads it.
    LocalFolderPtr loadedFolder(const QStringList& names) {
        directory = home.makeDirectory(QStringLiteral("Pictures"));
        for (const QString& name : names) {
            home.writeFile(QStringLiteral("Pictures/") + name);
        }
        LocalFolderPtr folder = LocalFolder::create(directory, LocalFolder::Pictures);
        list.setFolder(folder);
        EXPECT_EVENTUALLY(!list.isLoading(), 5000);
        return folder;
    }

    int updatesDuring(const std::function<void()>& action, const std::function<bool()>& done) {
        int updates = 0;
        NotificationCenter::defaultCenter().addObserver(this, MediaFolderFilesChanged, list.folder().get(),
                                                        [&](const Notification&) { ++updates; });
        action();
        EXPECT_EVENTUALLY(done(), 3000);
        QTest::qWait(FolderWatcher::latestMs + 100); // anything still to come
        NotificationCenter::defaultCenter().removeObserver(this);
        return updates;
    }

    TempHome home;
    QString directory;
    QVMBListController list;
};

TEST_F(LiveFolder, FilesAddedRemovedAndRenamedShowWithinASecondAndTheOthersStayTheSameItems) {
    const LocalFolderPtr folder = loadedFolder({"a.jpg", "b.jpg", "c.jpg"});
    ASSERT_EQ(list.numItems(), 3);
    const std::vector<MediaItemPtr> before = folder->files();
    const auto itemNamed = [](const std::vector<MediaItemPtr>& items, const QString& name) {
        for (const MediaItemPtr& item : items) {
            if (item->name() == name) {
                return item;
            }
        }
        return MediaItemPtr();
    };

    QElapsedTimer clock;
    clock.start();
    home.writeFile(QStringLiteral("Pictures/d.jpg"));
    QFile::remove(directory + QStringLiteral("/a.jpg"));
    QFile::rename(directory + QStringLiteral("/b.jpg"), directory + QStringLiteral("/renamed.jpg"));
    home.writeFile(QStringLiteral("Pictures/notes.txt")); // not a picture: no change to show
    ASSERT_EVENTUALLY(sortedNames(list.filtered()) == (QStringList{"c", "d", "renamed"}), 3000);
    EXPECT_LT(clock.elapsed(), 1000);
    // The item that stayed is the same object: what views selected stays selected.
    EXPECT_EQ(itemNamed(list.filtered(), QStringLiteral("c")), itemNamed(before, QStringLiteral("c")));
}

TEST_F(LiveFolder, TheGridKeepsTheSelectedPicturesThatRemainAndWhereItIsScrolledTo) {
    directory = home.makeDirectory(QStringLiteral("Pictures"));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        home.writeFile(QStringLiteral("Pictures/") + QString::fromUtf8(name));
    }
    for (int i = 0; i < 300; ++i) {
        home.writeFile(QStringLiteral("Pictures/z%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    }
    PhotoListController photos;
    QScrollArea scroller;
    auto* grid = new IconView;
    grid->setDataSource(&photos);
    photos.setIconView(grid);
    scroller.setWidget(grid);
    scroller.resize(400, 300);
    scroller.show();
    grid->resize(380, 300);
    photos.setFolder(LocalFolder::create(directory, LocalFolder::Pictures));
    ASSERT_EVENTUALLY(photos.numItems() == 303, 5000);
    grid->count(); // lays the grid out for the loaded list
    ASSERT_GT(scroller.verticalScrollBar()->maximum(), 1000);
    scroller.verticalScrollBar()->setValue(1000);
    const auto positionOf = [&](const QString& name) {
        for (int i = 0; i < photos.numItems(); ++i) {
            if (photos.filtered()[static_cast<std::size_t>(i)]->name() == name) {
                return i;
            }
        }
        return -1;
    };
    grid->selection() = {positionOf(QStringLiteral("a")), positionOf(QStringLiteral("c"))};

    QFile::remove(directory + QStringLiteral("/a.jpg"));
    home.writeFile(QStringLiteral("Pictures/d.jpg"));
    ASSERT_EVENTUALLY(photos.numItems() == 303 && positionOf(QStringLiteral("d")) >= 0, 3000);
    EXPECT_EQ(grid->selection(), IndexSet{positionOf(QStringLiteral("c"))});
    QCoreApplication::processEvents();
    EXPECT_EQ(scroller.verticalScrollBar()->value(), 1000);
}

TEST_F(LiveFolder, ABurstOfNewFilesArrivesInAFewUpdates) {
    loadedFolder({"first.jpg"});
    const int updates = updatesDuring(
        [&] {
            for (int i = 0; i < 2000; ++i) {
                home.writeFile(QStringLiteral("Pictures/import%1.jpg").arg(i));
            }
        },
        [&] { return list.numItems() == 2001; });
    EXPECT_EQ(list.numItems(), 2001);
    EXPECT_GE(updates, 1);
    EXPECT_LE(updates, 6);
}

TEST_F(LiveFolder, AtTheWatchLimitFoldersStillLoadButStayAsRead) {
    FolderWatcher::shared().setWatchLimit(FolderWatcher::shared().watchCount());
    loadedFolder({"a.jpg"});
    EXPECT_EQ(list.numItems(), 1);
    home.writeFile(QStringLiteral("Pictures/b.jpg"));
    QTest::qWait(FolderWatcher::latestMs + 300);
    EXPECT_EQ(list.numItems(), 1);
    // Another look at the folder (a new load) shows the file.
    list.setFolder(LocalFolder::create(directory, LocalFolder::Pictures));
    EXPECT_EVENTUALLY(list.numItems() == 2, 5000);
}

// An iTunes catalogue of the named tracks, each with a file of its name.
QByteArray iTunesCatalogue(const QByteArray& names) {
    QByteArray tracks;
    QByteArray items;
    int id = 0;
    for (const QByteArray& name : names.split(',')) {
        const QByteArray n = QByteArray::number(++id);
        tracks += "<key>" + n + "</key><dict><key>Name</key><string>" + name +
                  "</string><key>Location</key><string>file://localhost/music/" + name +
                  ".mp3</string></dict>";
        items += "<dict><key>Track ID</key><integer>" + n + "</integer></dict>";
    }
    return "<plist><dict><key>Tracks</key><dict>" + tracks +
           "</dict><key>Playlists</key><array><dict><key>Name</key><string>Library</string>"
           "<key>Master</key><true/><key>Playlist Items</key><array>" +
           items + "</array></dict></array></dict></plist>";
}

// Saves the catalogue as its owner does: a new file renamed over the old.
void saveITunesByRenaming(TempHome& home, const QString& file, const QByteArray& contents) {
    home.writeFile(QStringLiteral("Music/iTunes/iTunes Music Library.xml.tmp"), contents);
    ASSERT_TRUE(::rename(QFile::encodeName(file + QStringLiteral(".tmp")).constData(),
                         QFile::encodeName(file).constData()) == 0);
}

TEST_F(LiveFolder, ACatalogueSavedByRenamingANewFileOverItIsReadAgain) {
    const auto catalogue = &iTunesCatalogue;
    const QString file =
        home.writeFile(QStringLiteral("Music/iTunes/iTunes Music Library.xml"), catalogue("one,two"));
    const ITunesFolderPtr library = ITunesFolder::create(QStringLiteral("iTunes"), file, false, false);
    list.setFolder(library);
    ASSERT_EVENTUALLY(list.numItems() == 2, 5000);

    saveITunesByRenaming(home, file, catalogue("one,two,three"));
    EXPECT_EVENTUALLY(sortedNames(list.filtered()) == (QStringList{"one", "three", "two"}), 3000);
}

// An iPhoto catalogue of the named photos, all in the master album.
QByteArray iPhotoCatalogue(const QByteArray& names) {
    QByteArray photos;
    QByteArray keys;
    int id = 0;
    for (const QByteArray& name : names.split(',')) {
        const QByteArray n = QByteArray::number(++id);
        photos += "<key>" + n + "</key><dict><key>Caption</key><string>" + name +
                  "</string><key>ImagePath</key><string>/photos/" + name + ".jpg</string></dict>";
        keys += "<string>" + n + "</string>";
    }
    return "<plist><dict><key>List of Albums</key><array><dict><key>AlbumName</key><string>Photos</string>"
           "<key>Master</key><true/><key>KeyList</key><array>" +
           keys + "</array></dict></array><key>Master Image List</key><dict>" + photos +
           "</dict></dict></plist>";
}

// A catalogue caught half-written while its folder is shown (a sync tool
// copying it in place, the application saving it): the list keeps what it
// shows, and the catalogue shows once complete.
TEST_F(LiveFolder, ACatalogueCaughtHalfWrittenKeepsTheListShown) {
    const struct {
        const char* name;
        QString file;
        QByteArray (*catalogue)(const QByteArray& names);
        std::function<MediaFolderPtr(const QString& file)> make;
    } libraries[] = {
        {"iTunes", QStringLiteral("Music/iTunes/iTunes Music Library.xml"), &iTunesCatalogue,
         [](const QString& file) {
             return ITunesFolder::create(QStringLiteral("iTunes"), file, true, false);
         }},
        {"iPhoto", QStringLiteral("Pictures/iPhoto Library/AlbumData.xml"), &iPhotoCatalogue,
         [](const QString& file) {
             return IPhotoFolder::create(QStringLiteral("iPhoto"), file);
         }},
    };
    for (const auto& library : libraries) {
        SCOPED_TRACE(library.name);
        const QString file = home.writeFile(library.file, library.catalogue("one,two"));
        list.setFolder(library.make(file));
        ASSERT_EVENTUALLY(list.numItems() == 2, 5000);

        const QByteArray next = library.catalogue("one,two,three");
        QFile inPlace(file);
        ASSERT_TRUE(inPlace.open(QIODevice::WriteOnly | QIODevice::Truncate));
        inPlace.write(next.left(next.size() * 2 / 3));
        inPlace.flush();
        EXPECT_FALSE(QTest::qWaitFor([&] { return list.numItems() != 2; }, FolderWatcher::latestMs + 1000))
            << "the half-written catalogue replaced the list";
        inPlace.write(next.mid(next.size() * 2 / 3));
        inPlace.close();
        EXPECT_EVENTUALLY(sortedNames(list.filtered()) == (QStringList{"one", "three", "two"}), 3000);
        list.setFolder(nullptr);
    }
}

// Music that plays from a catalogue goes on when the catalogue's owner saves
// it again (a play count changed, a song was added): the same tracks, in new
// rows and as new entries, keep playing, queued and selected.
TEST_F(LiveFolder, MusicPlaysOnAndStaysSelectedWhenItsCatalogueIsSavedAgain) {
    const QString file =
        home.writeFile(QStringLiteral("Music/iTunes/iTunes Music Library.xml"), iTunesCatalogue("one,two"));
    MusicTableView table;
    MusicListController music;
    FakePlayers players;
    music.setTableView(&table);
    music.awakeFromNib();
    music.setPlayerFactory(players.factory());
    music.setFolder(ITunesFolder::create(QStringLiteral("iTunes"), file, false, false));
    ASSERT_EVENTUALLY(music.numItems() == 2, 5000);
    const auto rowOf = [&](const QString& name) {
        for (int row = 0; row < music.numItems(); ++row) {
            if (music.itemAt(row)->name() == name) {
                return row;
            }
        }
        return -1;
    };
    for (const char* name : {"one", "two"}) {
        table.selectionModel()->select(music.index(rowOf(QString::fromUtf8(name)), 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    music.play();
    ASSERT_TRUE(music.isPlaying());
    FakePlayer* player = players.last;

    saveITunesByRenaming(home, file, iTunesCatalogue("zero,one,two,three"));
    ASSERT_EVENTUALLY(music.numItems() == 4, 3000);
    EXPECT_TRUE(music.isPlaying());
    EXPECT_EQ(players.last, player);
    EXPECT_TRUE(player->playing);
    ASSERT_NE(music.playing(), nullptr);
    EXPECT_EQ(music.playing(), music.itemAt(rowOf(QStringLiteral("one"))).get());
    EXPECT_EQ(music.playlist(), std::set<int>{rowOf(QStringLiteral("two"))});
    QSet<int> selected;
    for (const QModelIndex& index : table.selectionModel()->selectedRows()) {
        selected.insert(index.row());
    }
    EXPECT_EQ(selected, (QSet<int>{rowOf(QStringLiteral("one")), rowOf(QStringLiteral("two"))}));

    // The queue goes on with the track that was next.
    players.finishLast();
    ASSERT_NE(music.playing(), nullptr);
    EXPECT_EQ(music.playing()->name(), QStringLiteral("two"));
}

// Rhythmbox's files as it saves them: written beside, then renamed over.
void saveByRenaming(TempHome& home, const QString& name, const QByteArray& contents) {
    const QString file = home.writeFile(name + QStringLiteral(".tmp"), contents);
    ASSERT_EQ(
        std::rename(QFile::encodeName(file).constData(), QFile::encodeName(home.file(name)).constData()), 0);
}

QByteArray rhythmdb(const QByteArrayList& titles, int plays = 0) {
    QByteArray entries;
    for (const QByteArray& title : titles) {
        entries += "  <entry type=\"song\">\n    <title>" + title +
                   "</title>\n    <artist>Demo Artist</artist>\n    <duration>61</duration>\n" +
                   "    <play-count>" + QByteArray::number(plays) +
                   "</play-count>\n"
                   "    <location>file:///music/" +
                   title + ".ogg</location>\n    <media-type>audio/x-vorbis</media-type>\n  </entry>\n";
    }
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\n<rhythmdb version=\"2.0\">\n" + entries +
           "</rhythmdb>\n";
}

QByteArray rhythmboxPlaylists(const QByteArray& name, const QByteArray& title) {
    return "<?xml version=\"1.0\"?>\n<rhythmdb-playlists>\n  <playlist name=\"" + name +
           "\" show-browser=\"false\" browser-position=\"180\" search-type=\"search-match\" "
           "type=\"static\">\n"
           "    <location>file:///music/" +
           title + ".ogg</location>\n  </playlist>\n</rhythmdb-playlists>\n";
}

QStringList folderNames(const MediaFolderPtr& folder) {
    QStringList names;
    for (const MediaFolderPtr& sub : folder->folders()) {
        names.append(sub->name());
    }
    return names;
}

TEST_F(LiveFolder, RhythmboxSavingEitherFileByRenamingIsReadAgain) {
    home.makeDirectory(QStringLiteral(".local/share/rhythmbox"));
    const QString database =
        home.writeFile(QStringLiteral(".local/share/rhythmbox/rhythmdb.xml"), rhythmdb({"One"}));
    const QString playlists = home.writeFile(QStringLiteral(".local/share/rhythmbox/playlists.xml"),
                                             rhythmboxPlaylists("Road Trip", "One"));
    const auto library = std::make_shared<RhythmboxFolder>(QStringLiteral("Rhythmbox"), database, playlists);
    list.setFolder(library);
    ASSERT_EVENTUALLY(list.numItems() == 1, 5000);

    saveByRenaming(home, QStringLiteral(".local/share/rhythmbox/rhythmdb.xml"), rhythmdb({"One", "Two"}));
    EXPECT_EVENTUALLY(sortedNames(list.filtered()) == (QStringList{"One", "Two"}), 3000);
    const std::vector<MediaItemPtr> shown = list.filtered();

    // Rhythmbox saves after every song played: the list stays as it is.
    const int updates = updatesDuring(
        [&] {
            saveByRenaming(home, QStringLiteral(".local/share/rhythmbox/rhythmdb.xml"),
                           rhythmdb({"One", "Two"}, 1));
        },
        [] { return true; });
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(list.filtered(), shown);
    saveByRenaming(home, QStringLiteral(".local/share/rhythmbox/playlists.xml"),
                   rhythmboxPlaylists("Night Drive", "Two"));
    EXPECT_EVENTUALLY(folderNames(library) == QStringList{"Night Drive"}, 3000);
    EXPECT_EQ(sortedNames(library->folders()[0]->files()), QStringList{"Two"});
}

// A database that its application keeps open and writes in place, in both
// of SQLite's journal modes: each commit is read again, and reading it does
// not count as a change (no reload follows the last one).
TEST_F(LiveFolder, AShotwellDatabaseWrittenInPlaceIsReadAgain) {
    for (const char* mode : {"WAL", "DELETE"}) {
        SCOPED_TRACE(mode);
        const QString database = home.file(QStringLiteral("photo-%1.db").arg(QLatin1String(mode)));
        SqliteFixture::Connection shotwell(database);
        ASSERT_EQ(
            shotwell.execute(QStringLiteral("PRAGMA journal_mode=%1;"
                                            "CREATE TABLE PhotoTable (id INTEGER PRIMARY KEY, filename TEXT"
                                            " UNIQUE NOT NULL, exposure_time INTEGER, flags INTEGER);"
                                            "INSERT INTO PhotoTable VALUES (1, '/photos/a.jpg', 1, 0);")
                                 .arg(QLatin1String(mode))),
            0);
        const auto library = std::make_shared<ShotwellFolder>(QStringLiteral("Shotwell"), database, QString(),
                                                              ShotwellFolder::Media::Photos);
        list.setFolder(library);
        ASSERT_EVENTUALLY(list.numItems() == 1, 5000);

        ASSERT_EQ(
            shotwell.execute(QStringLiteral("INSERT INTO PhotoTable VALUES (2, '/photos/b.jpg', 2, 0);")), 0);
        EXPECT_EVENTUALLY(sortedNames(list.filtered()) == (QStringList{"a", "b"}), 3000);
        const int updates = updatesDuring([] {}, [] { return true; });
        EXPECT_EQ(updates, 0);

        // A long import spills into the database (or its "-wal") before it
        // commits: what is read meanwhile never empties the list.
        ASSERT_EQ(
            shotwell.execute(QStringLiteral(
                "PRAGMA cache_size=1; BEGIN;"
                "INSERT INTO PhotoTable WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n"
                " WHERE i < 2000) SELECT i, '/photos/' || i || hex(randomblob(50)) || '.jpg', i, 0 FROM n;")),
            0);
        QTest::qWait(FolderWatcher::latestMs + 500);
        EXPECT_EQ(sortedNames(list.filtered()), (QStringList{"a", "b"}));
        ASSERT_EQ(shotwell.execute(QStringLiteral("COMMIT;")), 0);
        EXPECT_EVENTUALLY(list.numItems() == 2000, 3000);
        list.setFolder(nullptr);
    }
}

} // namespace
