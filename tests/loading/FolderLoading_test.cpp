#include "browser/QVMBListController.h"
#include "browser/QVMBTreeController.h"
#include "platform/system/NotificationCenter.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/local/LocalFolder.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QAbstractItemModelTester>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

QStringList namesOf(const std::vector<MediaItemPtr>& items) {
    QStringList names;
    for (const MediaItemPtr& item : items) {
        names.append(item->name());
    }
    return names;
}

// A pictures directory holding count empty ".jpg" files named p0, p1, ...
QString picturesDirectory(const TempHome& home, const QString& name, int count) {
    const QString directory = home.makeDirectory(name);
    for (int i = 0; i < count; ++i) {
        home.writeFile(name + QStringLiteral("/p%1.jpg").arg(i));
    }
    return directory;
}

// An iTunes catalogue of count tracks in one master playlist and a playlist
// "Odd" of every other track; big enough to be read in several chunks.
QString catalogue(const TempHome& home, int count) {
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                      "<key>Tracks</key><dict>\n";
    QByteArray master;
    QByteArray odd;
    for (int i = 1; i <= count; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "<key>" + n + "</key><dict><key>Track ID</key><integer>" + n +
                "</integer><key>Name</key><string>Track " + n + "</string><key>Artist</key><string>Artist " +
                n + "</string><key>Location</key><string>file://localhost/Music/t" + n +
                ".mp3</string></dict>\n";
        const QByteArray item = "<dict><key>Track ID</key><integer>" + n + "</integer></dict>";
        master += item;
        if (i % 2 == 1) {
            odd += item;
        }
    }
    text +=
        "</dict>\n<key>Playlists</key><array>\n<dict><key>Name</key><string>Library</string><key>Master</key>"
        "<true/><key>Playlist Items</key><array>" +
        master +
        "</array></dict>\n<dict><key>Name</key><string>Odd</string><key>Playlist Items</key><array>" + odd +
        "</array></dict>\n</array>\n</dict>\n</plist>\n";
    return home.writeFile(QStringLiteral("Music/iTunes/iTunes Music Library.xml"), text);
}

class FolderLoading : public ::testing::Test {
protected:
    void TearDown() override {
        // No worker outlives the test's files; deliveries still queued are dropped with the folders.
        FolderLoadJob::waitForIdle();
        QCoreApplication::processEvents();
    }

    TempHome home;
    QVMBListController list;
};

TEST_F(FolderLoading, AListShowsLoadingUntilTheFolderPublishesAllItsFilesAtOnce) {
    const QString directory = picturesDirectory(home, QStringLiteral("Pictures"), 40);
    const LocalFolderPtr folder = LocalFolder::create(directory, LocalFolder::Pictures);
    std::vector<int> countsSeen;
    NotificationCenter::defaultCenter().addObserver(
        this, QVMBListCtrlNumItemsChanged, &list,
        [&](const Notification&) { countsSeen.push_back(list.numItems()); });

    list.setFolder(folder);
    EXPECT_TRUE(list.isLoading());
    EXPECT_EQ(list.numItems(), 0);
    EXPECT_FALSE(folder->isLoaded());
    EXPECT_FALSE(folder->isExpandable()); // answered without waiting for the load

    ASSERT_EVENTUALLY(!list.isLoading(), 5000);
    EXPECT_FALSE(list.loadFailed());
    EXPECT_EQ(list.numItems(), 40);
    // The list went from empty to complete: never a partial count.
    for (const int seen : countsSeen) {
        EXPECT_TRUE(seen == 0 || seen == 40) << seen;
    }
    NotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(FolderLoading, ASupersededLoadNeverReachesTheListThatMovedOn) {
    const QString pictures = picturesDirectory(home, QStringLiteral("Pictures"), 3);
    const ITunesFolderPtr library =
        ITunesFolder::create(QStringLiteral("iTunes"), catalogue(home, 3000), false, false);
    const LocalFolderPtr folder = LocalFolder::create(pictures, LocalFolder::Pictures);

    list.setFolder(library);
    ASSERT_TRUE(list.isLoading());
    list.setFolder(folder);
    ASSERT_EVENTUALLY(library->isLoaded() && folder->isLoaded(), 10000);
    QCoreApplication::processEvents();

    EXPECT_EQ(list.folder(), folder);
    EXPECT_FALSE(list.isLoading());
    QStringList shown = namesOf(list.filtered());
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"p0", "p1", "p2"}));
    // The earlier load finished in the background and is there when asked for again.
    EXPECT_EQ(library->files().size(), 3000u);
    list.setFolder(library);
    EXPECT_FALSE(list.isLoading());
    EXPECT_EQ(list.numItems(), 3000);
}

TEST_F(FolderLoading, ACatalogueReportsProgressByBytesAndAnUnreadableOneEndsFailed) {
    const ITunesFolderPtr library =
        ITunesFolder::create(QStringLiteral("iTunes"), catalogue(home, 6000), false, false); // about 1.4 MB
    std::vector<int> percents;
    NotificationCenter::defaultCenter().addObserver(this, QVMBListCtrlNumItemsChanged, &list,
                                                    [&](const Notification&) {
                                                        if (list.isLoading()) {
                                                            percents.push_back(list.loadPercent());
                                                        }
                                                    });
    list.setFolder(library);
    ASSERT_EVENTUALLY(!list.isLoading(), 10000);
    EXPECT_EQ(list.numItems(), 6000);
    EXPECT_TRUE(std::any_of(percents.begin(), percents.end(), [](int p) { return p > 0 && p < 100; }))
        << "no progress between the ends was shown";
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    NotificationCenter::defaultCenter().removeObserver(this);

    const QString broken =
        home.writeFile(QStringLiteral("broken.xml"), "<plist><dict><key>Tracks</key><dict>");
    const ITunesFolderPtr unreadable = ITunesFolder::create(QStringLiteral("iTunes"), broken, false, false);
    list.setFolder(unreadable);
    ASSERT_EVENTUALLY(!list.isLoading(), 5000);
    EXPECT_TRUE(list.loadFailed());
    EXPECT_EQ(list.numItems(), 0);
    EXPECT_TRUE(unreadable->folders().empty());
}

TEST_F(FolderLoading, ACallerThatNeedsTheFilesNowWaitsForTheWorkerAndTheListIsStillTold) {
    const ITunesFolderPtr library =
        ITunesFolder::create(QStringLiteral("iTunes"), catalogue(home, 2000), false, false);
    list.setFolder(library);
    ASSERT_TRUE(list.isLoading());
    // A synchronous caller (the dump tool, a sort) gets the whole folder, read once.
    EXPECT_EQ(library->files().size(), 2000u);
    ASSERT_EQ(library->folders().size(), 2u);
    EXPECT_EQ(library->folders()[1]->files().size(), 1000u);
    EXPECT_FALSE(list.isLoading());
    // The list learns of it from the delivery that follows.
    EXPECT_EQ(list.numItems(), 0);
    EXPECT_EVENTUALLY(list.numItems() == 2000, 5000);
}

TEST_F(FolderLoading, TheOutlineInsertsAFoldersRowsWhenItsBackgroundLoadArrives) {
    const ITunesFolderPtr library =
        ITunesFolder::create(QStringLiteral("iTunes"), catalogue(home, 500), false, false);
    const QString pictures = picturesDirectory(home, QStringLiteral("Pictures"), 1);
    home.makeDirectory(QStringLiteral("Pictures/Holidays"));
    const LocalFolderPtr local = LocalFolder::create(pictures, LocalFolder::Pictures);
    auto root = std::make_shared<MediaFolder>();
    root->addFolder(library);
    root->addFolder(local);
    QTreeView outline;
    QVMBTreeController tree(root, &outline, &list);
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);
    tree.awakeFromNib();

    const QModelIndex libraryRow = tree.index(0, 0);
    EXPECT_TRUE(tree.hasChildren(libraryRow)); // without reading the catalogue
    EXPECT_EQ(tree.rowCount(libraryRow), 0);   // asked while loading: none yet
    outline.expand(libraryRow);
    ASSERT_EVENTUALLY(tree.rowCount(libraryRow) == 2, 5000);
    EXPECT_EQ(tree.data(tree.index(1, 0, libraryRow), Qt::DisplayRole).toString(), QStringLiteral("Odd"));
    ASSERT_EVENTUALLY(tree.rowCount(tree.index(1, 0)) == 1, 5000);
    EXPECT_EQ(tree.data(tree.index(0, 0, tree.index(1, 0)), Qt::DisplayRole).toString(),
              QStringLiteral("Holidays"));
}

} // namespace
