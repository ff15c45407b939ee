// A network share as most NAS boxes serve it: an SMB location with a guest
// share, served by a real smbd on the loopback of the suite's own namespace,
// mounted and listed by gvfs on the private session bus the SFTP share's
// environment starts.

#include "browser/MediaBrowserWindow.h"
#include "browser/PhotoListController.h"
#include "iconview/IconView.h"
#include "model/Photo.h"
#include "network/ShareWindow.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"
#include "sources/network/ShareFolder.h"
#include "support/LoopWatch.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool smbPortAnswers() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(445);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool answered = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

// smbd on 127.0.0.1:445 with a read-only guest share "photos". It runs in a
// session of its own, so that stopping it takes the processes it forked for
// its clients too, as a NAS switched off does.
class SmbEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path();
        // The guest is mapped to nobody, who must reach the share.
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::ExeOther);
        share = root + QStringLiteral("/photos");
        QDir().mkpath(share + QStringLiteral("/Trip"));
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(share + QStringLiteral("/Harbour.jpg")));
        ASSERT_TRUE(picture.save(share + QStringLiteral("/Trip/Ferry.png")));
        for (const QString& state :
             {QStringLiteral("private"), QStringLiteral("state"), QStringLiteral("lock"),
              QStringLiteral("cache"), QStringLiteral("ncalrpc")}) {
            QDir().mkpath(root + QLatin1Char('/') + state);
        }
        QFile config(root + QStringLiteral("/smb.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[global]\n"
                                    "server role = standalone server\n"
                                    "map to guest = Bad User\n"
                                    "guest account = nobody\n"
                                    "interfaces = lo\n"
                                    "bind interfaces only = yes\n"
                                    "smb ports = 445\n"
                                    "disable netbios = yes\n"
                                    "load printers = no\n"
                                    "printcap name = /dev/null\n"
                                    "disable spoolss = yes\n"
                                    "private dir = %1/private\n"
                                    "state directory = %1/state\n"
                                    "lock directory = %1/lock\n"
                                    "cache directory = %1/cache\n"
                                    "pid directory = %1\n"
                                    "ncalrpc dir = %1/ncalrpc\n"
                                    "passdb backend = tdbsam:%1/private/passdb.tdb\n"
                                    "[photos]\n"
                                    "path = %2\n"
                                    "guest ok = yes\n"
                                    "read only = yes\n")
                         .arg(root, share)
                         .toUtf8());
        config.close();
        start();
    }

    void TearDown() override { stop(); }

    static void start() {
        smbd.setChildProcessModifier([] { ::setsid(); });
        smbd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        smbd.setStandardOutputFile(root + QStringLiteral("/smbd.log"), QIODevice::Append);
        smbd.start(QStringLiteral("/usr/sbin/smbd"),
                   {QStringLiteral("--foreground"), QStringLiteral("--no-process-group"),
                    QStringLiteral("--debug-stdout"),
                    QStringLiteral("--configfile=") + root + QStringLiteral("/smb.conf")});
        ASSERT_TRUE(smbd.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor(smbPortAnswers, 15000)) << "smbd does not answer on port 445";
    }

    static void stop() {
        if (smbd.state() != QProcess::NotRunning) {
            ::kill(-static_cast<pid_t>(smbd.processId()), SIGKILL);
            smbd.waitForFinished(5000);
        }
    }

    static QString location(const QString& folder) {
        return QStringLiteral("smb://127.0.0.1/photos/") + folder;
    }

    QTemporaryDir dir;
    static QString root;
    static QString share;
    static QProcess smbd;
};
QString SmbEnvironment::root;
QString SmbEnvironment::share;
QProcess SmbEnvironment::smbd;
const auto* const environment = ::testing::AddGlobalTestEnvironment(new SmbEnvironment);

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool onlyTheWindowIsShown(const MediaBrowserWindow& window) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != &window && widget->isVisible()) {
            return false;
        }
    }
    return true;
}

TEST(SmbShares, AGuestShareOfThePicturesListIsListedDrawnAndDraggedOutAsTheSameBytes) {
    TempHome home;
    UserPreferences::sharedPreferences()->setMediaServersEnabled(false);
    UserPreferences::sharedPreferences()->setPicturePaths({QStringLiteral("smb://127.0.0.1/photos")});
    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr photos = rootFolder(window, QStringLiteral("photos"));
    ASSERT_TRUE(std::dynamic_pointer_cast<ShareFolder>(photos));
    PhotoListController* list = window.photoList();
    list->setFolder(photos);
    // Mounted as a guest without a question, then listed.
    ASSERT_EVENTUALLY(photos->isLoaded() && list->numItems() == 1, 30000);
    EXPECT_EQ(photos->loadState(), MediaFolder::LoadState::Loaded);
    ASSERT_EQ(photos->folders().size(), 1u);
    EXPECT_EQ(photos->folders().front()->name(), QStringLiteral("Trip"));
    EXPECT_EQ(list->itemAt(0)->name(), QStringLiteral("Harbour"));
    // Its thumbnail is made from the share's bytes.
    EXPECT_EVENTUALLY(list->cacheBytes() > 0, 15000);
    // Dragged out, the receiver gets a local file holding the picture.
    const IndexSet first{0};
    const std::unique_ptr<QMimeData> pasteboard = list->newPasteboard(list->iconView(), first);
    ASSERT_TRUE(list->writeRowsWithIndexes(list->iconView(), first, pasteboard.get()));
    ASSERT_EQ(pasteboard->urls().size(), 1);
    const QString dragged = Path::localPath(pasteboard->urls().front());
    ASSERT_FALSE(dragged.isEmpty()) << pasteboard->urls().front().toString().toStdString();
    EXPECT_EQ(contents(dragged), contents(SmbEnvironment::share + QStringLiteral("/Harbour.jpg")));
    EXPECT_TRUE(onlyTheWindowIsShown(window));
}

TEST(SmbShares, AServerSwitchedOffKeepsTheFolderShownQuietlyAndItsPicturesComeBackWithTheServer) {
    TempHome home;
    UserPreferences::sharedPreferences()->setMediaServersEnabled(false);
    UserPreferences::sharedPreferences()->setPicturePaths({SmbEnvironment::location(QStringLiteral("Trip"))});
    MediaBrowserWindow window;
    window.show();
    const auto trip = std::dynamic_pointer_cast<ShareFolder>(rootFolder(window, QStringLiteral("Trip")));
    ASSERT_TRUE(trip);
    PhotoListController* list = window.photoList();
    list->setFolder(trip);
    ASSERT_EVENTUALLY(list->numItems() == 1, 30000);

    // Switched off while the folder is shown, and the folder opened again:
    // what it showed stays, nothing pops up, the window keeps turning.
    LoopWatch watch;
    SmbEnvironment::stop();
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    ASSERT_TRUE(picture.save(SmbEnvironment::share + QStringLiteral("/Trip/Pier.jpg")));
    list->setFolder(nullptr);
    list->setFolder(trip);
    ASSERT_EVENTUALLY(!trip->isReading(), 60000);
    EXPECT_EQ(list->numItems(), 1);
    EXPECT_EQ(list->itemAt(0)->name(), QStringLiteral("Ferry"));
    EXPECT_TRUE(onlyTheWindowIsShown(window));
    EXPECT_LT(watch.longest, 1000);

    // Back on: opening the folder again shows what the share holds now.
    SmbEnvironment::start();
    list->setFolder(nullptr);
    list->setFolder(trip);
    EXPECT_EVENTUALLY(list->numItems() == 2, 60000);
    EXPECT_EQ(trip->loadState(), MediaFolder::LoadState::Loaded);
    EXPECT_TRUE(onlyTheWindowIsShown(window));
}

} // namespace
