// Media servers that misbehave (tests/network/hostile_server.py): what they
// send is handled, nothing they name is opened, and the window goes on.

#include "browser/MediaBrowserWindow.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/QVMBTreeController.h"
#include "network/ServerFixture.h"
#include "platform/network/NetworkHelper.h"
#include "sources/network/PagedLoad.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <gtest/gtest.h>

namespace {

// One hostile server, named after its scenario, on a port of its own.
class HostileServer {
public:
    explicit HostileServer(const QString& scenario)
        : name(QStringLiteral("Hostile ") + scenario) {
        static int nextPort = 9100;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(QVMB_TEST_SOURCE_DIR "/hostile_server.py"), name,
                       QString::number(nextPort++), scenario});
        ready =
            process.waitForStarted(5000) &&
            QTest::qWaitFor(
                [this] { return process.canReadLine() && process.readLine().startsWith("ready"); }, 10000);
    }
    ~HostileServer() {
        process.kill();
        process.waitForFinished(5000);
    }
    void kill() {
        process.kill();
        process.waitForFinished(5000);
    }

    QString name;
    QProcess process;
    bool ready = false;
};

// The server's folder in the music tab (its items are tracks; it cannot
// search, so it shows in every tab).
MediaFolderPtr serverFolder(MediaBrowserWindow& window, const QString& name) {
    MediaFolder* root = window.treeController(1)->folderForIndex({});
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
        10000);
    return found;
}

// The folder once read to its end: its first load and the pages after it.
void readWhole(const MediaFolderPtr& folder) {
    folder->loadInBackground();
    ASSERT_EVENTUALLY(folder->isLoaded(), 15000);
    PagedLoad::waitForIdle();
    QCoreApplication::processEvents(); // the last pages reach the folder
}

QStringList names(const MediaFolderPtr& folder) {
    QStringList result;
    for (const MediaItemPtr& item : folder->files()) {
        result.append(item->name());
    }
    return result;
}

TEST(HostileServers, ADocumentWithoutNamespacesIsReadAsIfItDeclaredThem) {
    TempHome home;
    HostileServer server(QStringLiteral("namespaces"));
    ASSERT_TRUE(server.ready);
    MediaBrowserWindow window;
    const MediaFolderPtr folder = serverFolder(window, server.name);
    ASSERT_TRUE(folder);
    readWhole(folder);
    EXPECT_EQ(names(folder),
              (QStringList{QStringLiteral("Track 0"), QStringLiteral("Track 1"), QStringLiteral("Track 2")}));
    EXPECT_EQ(folder->files().front()->url().host(), QStringLiteral("127.0.0.1"));
}

TEST(HostileServers, EntitiesThatWouldExpandAThousandMillionTimesLeaveTheFolderEmptyAndTheHelperServing) {
    TempHome home;
    HostileServer server(QStringLiteral("entities"));
    ASSERT_TRUE(server.ready);
    MediaBrowserWindow window;
    const MediaFolderPtr folder = serverFolder(window, server.name);
    ASSERT_TRUE(folder);
    const int helper = NetworkHelper::shared().processId();
    readWhole(folder);
    EXPECT_EQ(folder->loadState(), MediaFolder::LoadState::Failed);
    EXPECT_TRUE(folder->files().empty());
    // The same helper goes on serving the good server.
    EXPECT_EQ(NetworkHelper::shared().processId(), helper);
    const MediaFolderPtr music =
        ServerFixture::descend(serverFolder(window, ServerFixture::kServerName),
                               {QStringLiteral("Music"), QStringLiteral("All Music")});
    ASSERT_TRUE(music);
    readWhole(music);
    EXPECT_EQ(music->files().size(), 2u);
}

TEST(HostileServers, ACountOfAThousandMillionAndPagesThatRepeatEndAfterThePageThatBringsNothingNew) {
    TempHome home;
    HostileServer server(QStringLiteral("lying"));
    ASSERT_TRUE(server.ready);
    MediaBrowserWindow window;
    const MediaFolderPtr folder = serverFolder(window, server.name);
    ASSERT_TRUE(folder);
    readWhole(folder);
    EXPECT_EQ(folder->loadState(), MediaFolder::LoadState::Loaded);
    EXPECT_EQ(names(folder),
              (QStringList{QStringLiteral("Track 0"), QStringLiteral("Track 1"), QStringLiteral("Track 2")}));
}

TEST(HostileServers, A50MegabyteAnswerIsRefusedWithoutCrashingAnything) {
    TempHome home;
    HostileServer server(QStringLiteral("huge"));
    ASSERT_TRUE(server.ready);
    MediaBrowserWindow window;
    const MediaFolderPtr folder = serverFolder(window, server.name);
    ASSERT_TRUE(folder);
    readWhole(folder);
    EXPECT_EQ(folder->loadState(), MediaFolder::LoadState::Failed);
    EXPECT_TRUE(folder->folders().empty());
    EXPECT_NE(NetworkHelper::shared().processId(), 0);
}

TEST(HostileServers, FilesAtFileUrlsOrOnOtherMachinesAreLeftOutAndTheirPicturesNeverFetched) {
    TempHome home;
    HostileServer server(QStringLiteral("foreign"));
    ASSERT_TRUE(server.ready);
    MediaBrowserWindow window;
    const MediaFolderPtr folder = serverFolder(window, server.name);
    ASSERT_TRUE(folder);
    readWhole(folder);
    EXPECT_EQ(names(folder), (QStringList{QStringLiteral("On The Server"), QStringLiteral("Art Elsewhere")}));
    for (const MediaItemPtr& item : folder->files()) {
        EXPECT_EQ(item->url().host(), QStringLiteral("127.0.0.1"));
        // Album art at file:// or on another machine is dropped, not fetched.
        EXPECT_TRUE(item->thumbnailUrl().isEmpty()) << item->thumbnailUrl().toString().toStdString();
    }
}

TEST(HostileServers, AServerThatStopsAnsweringMidBrowseLeavesTheWindowResponsiveAndTheFirstPageShown) {
    TempHome home;
    HostileServer server(QStringLiteral("silent"));
    ASSERT_TRUE(server.ready);
    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr folder = serverFolder(window, server.name);
    ASSERT_TRUE(folder);
    MusicListController* list = window.musicList();
    QElapsedTimer since;
    qint64 longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { longest = std::max(longest, since.restart()); });
    since.start();
    ticks.start(10);
    list->setFolder(folder);
    // The first page shows; the second is asked for and never answered.
    ASSERT_EVENTUALLY(list->numItems() > 0, 10000);
    const int shown = list->numItems();
    QTest::qWait(3000);
    EXPECT_EQ(list->numItems(), shown);
    // Killed, it ends the wait: the list keeps what it showed, with no message.
    server.kill();
    PagedLoad::waitForIdle();
    QCoreApplication::processEvents();
    EXPECT_EQ(list->numItems(), shown);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_TRUE(widget == &window || !widget->isVisible()) << widget->metaObject()->className();
    }
    EXPECT_LT(longest, 1000);
}

TEST(HostileServers, AHelperThatDiesIsStartedAgainAndTheServersComeBack) {
    TempHome home;
    MediaBrowserWindow window;
    const MediaFolderPtr server = serverFolder(window, ServerFixture::kServerName);
    ASSERT_TRUE(server);
    ASSERT_TRUE(server->isAvailable());
    const int helper = NetworkHelper::shared().processId();
    ASSERT_NE(helper, 0);
    ::kill(helper, SIGKILL);
    // Its servers grey out, then come back with a new helper.
    EXPECT_EVENTUALLY(!server->isAvailable(), 5000);
    EXPECT_EVENTUALLY(server->isAvailable(), 15000);
    EXPECT_NE(NetworkHelper::shared().processId(), helper);
    const MediaFolderPtr music =
        ServerFixture::descend(server, {QStringLiteral("Music"), QStringLiteral("All Music")});
    ASSERT_TRUE(music);
    readWhole(music);
    EXPECT_EQ(music->files().size(), 2u);
}

} // namespace
