// A network share as the user adds it in the preferences: an SFTP location
// served by a real sshd on the loopback of the suite's own namespace, mounted
// and listed by gvfs on a private session bus.

#include "browser/MediaBrowserWindow.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "iconview/IconView.h"
#include "model/Photo.h"
#include "network/ShareWindow.h"
#include "platform/system/Path.h"
#include "platform/system/SlowFileSystems.h"
#include "prefs/UserPreferences.h"
#include "sources/network/ShareFolder.h"
#include "support/MediaFixtures.h"
#include "support/PrivateBus.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kPort = 2222;

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

void writeText(const QString& path, const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// sshd on 127.0.0.1:2222 serving a folder of pictures, the session bus gvfs
// runs on, and the ssh client gvfs starts told where the test's keys are
// (ssh reads the user's files from the password database's home, not $HOME:
// a small ssh in front of the real one on the PATH names them).
class SftpEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString root = dir.path();
        share = root + QStringLiteral("/share");
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        QDir().mkpath(share + QStringLiteral("/Pictures/Holiday"));
        ASSERT_TRUE(picture.save(share + QStringLiteral("/Pictures/Lake.jpg")));
        ASSERT_TRUE(picture.save(share + QStringLiteral("/Pictures/Holiday/Beach.png")));
        MediaFixtures::copy(MediaFixtures::Fixture::TaggedMp3, share + QStringLiteral("/Pictures/Song.mp3"));

        run(QStringLiteral("ssh-keygen"),
            {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"), QStringLiteral("-N"),
             QString(), QStringLiteral("-f"), root + QStringLiteral("/hostkey")});
        run(QStringLiteral("ssh-keygen"),
            {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"), QStringLiteral("-N"),
             QString(), QStringLiteral("-f"), root + QStringLiteral("/userkey")});
        QFile hostKey(root + QStringLiteral("/hostkey.pub"));
        ASSERT_TRUE(hostKey.open(QIODevice::ReadOnly));
        writeText(root + QStringLiteral("/known_hosts"),
                  QStringLiteral("[127.0.0.1]:%1 %2").arg(kPort).arg(QString::fromUtf8(hostKey.readAll())));
        QDir().mkpath(QStringLiteral("/run/sshd")); // sshd's privilege separation folder
        sshd.setProcessChannelMode(QProcess::MergedChannels);
        sshd.start(QStringLiteral("/usr/sbin/sshd"),
                   {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-p"), QString::number(kPort),
                    QStringLiteral("-o"), QStringLiteral("ListenAddress=127.0.0.1"), QStringLiteral("-h"),
                    root + QStringLiteral("/hostkey"), QStringLiteral("-o"),
                    QStringLiteral("AuthorizedKeysFile=") + root + QStringLiteral("/userkey.pub"),
                    QStringLiteral("-o"), QStringLiteral("PidFile=none"), QStringLiteral("-o"),
                    QStringLiteral("StrictModes=no")});
        ASSERT_TRUE(sshd.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([this] { return sshd.readAll().contains("Server listening"); }, 10000));

        QDir().mkpath(root + QStringLiteral("/bin"));
        writeText(
            root + QStringLiteral("/bin/ssh"),
            QStringLiteral("#!/bin/sh\nexec /usr/bin/ssh -F /dev/null -o UserKnownHostsFile=%1/known_hosts "
                           "-o IdentityFile=%1/userkey -o BatchMode=yes \"$@\"\n")
                .arg(root));
        QFile::setPermissions(root + QStringLiteral("/bin/ssh"), QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(root + QStringLiteral("/bin:")) + qgetenv("PATH"));
        runtime = root + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        // gvfs's daemons start on this bus and inherit what is set above.
        bus = std::make_unique<PrivateBus>();
        ASSERT_TRUE(bus->isRunning());
    }

    void TearDown() override {
        bus.reset();
        run(QStringLiteral("fusermount3"),
            {QStringLiteral("-u"), QStringLiteral("-z"), runtime + QStringLiteral("/gvfs")});
        sshd.terminate();
        sshd.waitForFinished(5000);
    }

    static QString location(const QString& folder) {
        return QStringLiteral("sftp://root@127.0.0.1:%1%2/%3").arg(kPort).arg(share, folder);
    }

    QTemporaryDir dir;
    QProcess sshd;
    std::unique_ptr<PrivateBus> bus;
    QString runtime;
    static QString share;
};
QString SftpEnvironment::share;
const auto* const environment = ::testing::AddGlobalTestEnvironment(new SftpEnvironment);

TEST(Shares, AnSftpLocationOfThePicturesListIsListedThroughGvfsAndItsPicturesShowAndDragAsFiles) {
    TempHome home;
    UserPreferences::sharedPreferences()->setMediaServersEnabled(false);
    UserPreferences::sharedPreferences()->setPicturePaths(
        {SftpEnvironment::location(QStringLiteral("Pictures"))});
    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr pictures = rootFolder(window, QStringLiteral("Pictures"));
    ASSERT_TRUE(std::dynamic_pointer_cast<ShareFolder>(pictures));
    PhotoListController* list = window.photoList();
    list->setFolder(pictures);
    // Mounted for the user, then listed: the picture and the sub-folder; not the song.
    ASSERT_EVENTUALLY(pictures->isLoaded() && list->numItems() == 1, 30000);
    EXPECT_EQ(pictures->loadState(), MediaFolder::LoadState::Loaded);
    ASSERT_EQ(pictures->folders().size(), 1u);
    EXPECT_EQ(pictures->folders().front()->name(), QStringLiteral("Holiday"));
    auto* lake = dynamic_cast<Photo*>(list->itemAt(0).get());
    ASSERT_NE(lake, nullptr);
    EXPECT_EQ(lake->name(), QStringLiteral("Lake"));
    // The desktop maps the share into the file system: the item is a file there, read as any.
    EXPECT_TRUE(lake->path().startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/gvfs/")))
        << lake->path().toStdString();
    EXPECT_TRUE(SlowFileSystems::isSlow(lake->path()));
    EXPECT_EVENTUALLY(list->cacheBytes() > 0, 15000);
    const IndexSet first{0};
    const std::unique_ptr<QMimeData> pasteboard = list->newPasteboard(list->iconView(), first);
    ASSERT_TRUE(list->writeRowsWithIndexes(list->iconView(), first, pasteboard.get()));
    ASSERT_EQ(pasteboard->urls().size(), 1);
    EXPECT_EQ(Path::localPath(pasteboard->urls().front()), lake->path());

    const MediaFolderPtr holiday = pictures->folders().front();
    list->setFolder(holiday);
    ASSERT_EVENTUALLY(list->numItems() == 1, 30000);
    EXPECT_EQ(list->itemAt(0)->name(), QStringLiteral("Beach"));
}

TEST(Shares, AShareThatCannotBeReachedShowsEmptyWithoutAWord) {
    TempHome home;
    UserPreferences::sharedPreferences()->setMediaServersEnabled(false);
    UserPreferences::sharedPreferences()->setPicturePaths(
        {QStringLiteral("sftp://root@127.0.0.1:2299/nowhere")});
    MediaBrowserWindow window;
    window.show();
    const MediaFolderPtr nowhere = rootFolder(window, QStringLiteral("nowhere"));
    ASSERT_TRUE(nowhere);
    window.photoList()->setFolder(nowhere);
    ASSERT_EVENTUALLY(nowhere->isLoaded(), 30000);
    EXPECT_EQ(nowhere->loadState(), MediaFolder::LoadState::Failed);
    EXPECT_EQ(window.photoList()->numItems(), 0);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_TRUE(widget == &window || !widget->isVisible()) << widget->metaObject()->className();
    }
}

} // namespace
