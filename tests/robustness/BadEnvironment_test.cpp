#include "ChildProcess.h"
#include "HostileHome.h"
#include "platform/media/MpvPlayer.h"
#include "platform/system/DistributedNotificationCenter.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "platform/system/PreferencesStore.h"
#include "platform/system/WorkspaceIcons.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/local/LocalFolder.h"
#include "support/MediaFixtures.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using MediaFixtures::Fixture;

namespace {

QString preferencesFile() {
    return PreferencesStore::filePath(UserPreferences::bundleID());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList defaultPictures() {
    return {QStringLiteral("~/Pictures")};
}

class BadEnvironment : public HostileHome {};

// A preferences file that is not INI, or holds values of the wrong types:
// each list that cannot be read falls back to its default, quickly, and the
// next change writes a good file again.
TEST_F(BadEnvironment, CorruptPreferencesFileOrWrongTypes) {
    const struct {
        const char* name;
        QByteArray contents;
        QStringList pictures; // what the pictures list becomes
        QStringList movies;
    } rows[] = {
        {"binary", QByteArray("\x00\xFF\xFE[\x00\x01=\n\x80\x81", 11), defaultPictures(), {"~/Movies"}},
        // An array whose size is cut off is an empty list.
        {"cut-off INI", "[General]\nPicturePaths\\1\\value=/a\nPicturePaths\\si", {}, {"~/Movies"}},
        {"unterminated quote",
         "[General]\nPicturePaths=\"/a\nMoviePaths=@Invalid(",
         defaultPictures(),
         {"~/Movies"}},
        {"numbers and a lone string",
         "[General]\nPicturePaths=5\nMoviePaths=/one/path\n",
         defaultPictures(),
         {"~/Movies"}},
        {"a list holding numbers and a list of lists",
         "[PicturePaths]\n1\\value=7\nsize=1\n[MoviePaths]\n1\\value\\1\\value=/x\nsize=1\n",
         {"7"},
         {"~/Movies"}},
        {"serialised values of other types",
         "[General]\nPicturePaths=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QSize\\0\\0\\0\\x1)\n"
         "MoviePaths=@ByteArray(\\xff\\xfe)\n",
         defaultPictures(),
         {"~/Movies"}},
        {"a list claiming two thousand million elements",
         "[PicturePaths]\n1\\value=/only\nsize=2000000000\n[MoviePaths]\nsize=-5\n",
         {"/only"},
         {}},
    };
    UserPreferences* preferences = UserPreferences::sharedPreferences();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        _home.writeFile(QStringLiteral(".config/org.qvmediabrowser.QVMediaBrowser.conf"), row.contents);
        ASSERT_EQ(_home.file(QStringLiteral(".config/org.qvmediabrowser.QVMediaBrowser.conf")),
                  preferencesFile());
        const TreeSnapshot before(_home.path());
        EXPECT_LT(millisecondsOf([&] { preferences->synchronizedPrefs(); }), kMainThreadBudgetMs);
        EXPECT_EQ(preferences->picturePaths(), row.pictures);
        EXPECT_EQ(preferences->moviePaths(), row.movies);
        EXPECT_EQ(preferences->musicPaths(), QStringList{QStringLiteral("~/Music")});
        // Reading wrote nothing, not even the preferences file.
        EXPECT_TRUE(TreeSnapshot(_home.path()).changesSince(before).isEmpty());
    }
    preferences->setPicturePaths({QStringLiteral("/fresh")});
    preferences->synchronize();
    EXPECT_EQ(PreferencesStore(UserPreferences::bundleID()).read(QLatin1String(PicturePathsKey)),
              QVariant(QVariantList{QStringLiteral("/fresh")}));
}

// The preferences cannot be saved, because their directory is read-only or
// the disk is full: the change holds in memory for this run, nothing else is
// touched, and the file keeps its last good contents.
TEST_F(BadEnvironment, ReadOnlyOrFullPreferencesDirectory) {
    {
        PreferencesStore store(UserPreferences::bundleID());
        store.record(QLatin1String(PicturePathsKey), QVariantList{QStringLiteral("/kept")});
        store.synchronize();
    }
    const QByteArray saved = readAll(preferencesFile());
    ASSERT_FALSE(saved.isEmpty());
    const QString directory = QFileInfo(preferencesFile()).path();
    ChildProcess::giveToUnprivileged(_home.path());
    const auto changeAndSave = [] {
        UserPreferences* preferences = UserPreferences::sharedPreferences();
        if (preferences->picturePaths() != QStringList{QStringLiteral("/kept")}) {
            return 1;
        }
        QStringList many;
        for (int i = 0; i < 200; ++i) {
            many.append(QStringLiteral("/a/rather/long/path/to/pictures/%1").arg(i));
        }
        preferences->setPicturePaths(many);
        preferences->synchronize();
        return preferences->picturePaths() == many ? 0 : 2;
    };

    ASSERT_EQ(chmod(Path::toNative(directory).constData(), 0555), 0);
    snapshot();
    EXPECT_EQ(ChildProcess::run(changeAndSave, {.unprivileged = true}), 0);
    EXPECT_EQ(readAll(preferencesFile()), saved);
    ASSERT_EQ(chmod(Path::toNative(directory).constData(), 0755), 0);

    // A full disk: no file may grow past a few bytes.
    snapshot();
    EXPECT_EQ(ChildProcess::run(changeAndSave, {.fileSizeLimit = 100}), 0);
    EXPECT_EQ(readAll(preferencesFile()), saved);
    EXPECT_EQ(QDir(directory).entryList(QDir::Files | QDir::Hidden),
              QStringList{QFileInfo(preferencesFile()).fileName()});
}

// The processes started by this one (such as a bus daemon launched on demand).
int childProcessCount() {
    int count = 0;
    const QString self = QString::number(getpid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = readAll(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        const qsizetype end = stat.lastIndexOf(')');
        if (end > 0 && stat.mid(end + 4).split(' ').value(0) == self.toLatin1()) {
            ++count;
        }
    }
    return count;
}

// Without a session bus, or with one that is gone, running copies are not
// told of changes, and saving preferences neither waits nor starts a bus.
TEST_F(BadEnvironment, NoSessionBus) {
    const QByteArray addresses[] = {{}, "unix:path=/nonexistent/bus", "tcp:host=127.0.0.1,port=1"};
    for (const QByteArray& address : addresses) {
        SCOPED_TRACE(address.toStdString());
        if (address.isEmpty()) {
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        } else {
            qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        }
        const int children = childProcessCount();
        DistributedNotificationCenter center;
        int heard = 0;
        center.addObserver(&heard, QStringLiteral("Test"), [&] { ++heard; });
        EXPECT_LT(millisecondsOf([&] {
                      EXPECT_FALSE(center.isConnected());
                      center.postNotification(QStringLiteral("Test"));
                  }),
                  kMainThreadBudgetMs);
        EXPECT_EQ(childProcessCount(), children);
        EXPECT_EQ(heard, 0);
    }
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    snapshot();
    UserPreferences* preferences = UserPreferences::sharedPreferences();
    EXPECT_LT(millisecondsOf([&] {
                  preferences->setMusicPaths({QStringLiteral("/somewhere")});
                  preferences->synchronize();
              }),
              kMainThreadBudgetMs);
    EXPECT_EQ(preferences->musicPaths(), QStringList{QStringLiteral("/somewhere")});
}

// No icon theme and no shared MIME data: folders keep the icons delivered
// with the library, files get the style's own icon, and media files are
// still told apart by their names.
TEST_F(BadEnvironment, NoIconTheme) {
    qputenv("XDG_DATA_DIRS", QFile::encodeName(_home.file(QStringLiteral("no-data"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(_home.file(QStringLiteral("no-data"))));
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    MediaFixtures::copy(Fixture::Jpeg, _home.file(QStringLiteral("Pictures/Trip/a.jpg")));
    MediaFixtures::copy(Fixture::UntaggedMp3, _home.file(QStringLiteral("Music/a.mp3")));
    _home.writeFile(QStringLiteral("Music/cover.jpg"));
    _home.writeFile(QStringLiteral("lib.xml"), catalogue({}));
    snapshot();

    auto pictures = LocalFolder::create(_home.file(QStringLiteral("Pictures")), LocalFolder::Pictures);
    auto music = LocalFolder::create(_home.file(QStringLiteral("Music")), LocalFolder::Music);
    ASSERT_EQ(pictures->folders().size(), 1u);
    EXPECT_EQ(pictures->folders()[0]->files().size(), 1u);
    EXPECT_EQ(music->files().size(), 1u); // the picture is no track
    EXPECT_FALSE(pictures->icon().isNull());
    // Music and movies without a picture show their file type's icon.
    for (const char* name : {"a.mp3", "b.mov", "c.unknown"}) {
        const QIcon icon = WorkspaceIcons::iconForFile(_home.file(QLatin1String(name)));
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_FALSE(WorkspaceIcons::imageAtSize(icon, QSize(32, 32), 2).isNull()) << name;
    }
    EXPECT_FALSE(IPhotoFolder::create(QStringLiteral("iPhoto"), _home.file(QStringLiteral("lib.xml")))
                     ->icon()
                     .isNull());
    EXPECT_FALSE(
        ITunesFolder::create(QStringLiteral("iTunes"), _home.file(QStringLiteral("lib.xml")), true, false)
            ->icon()
            .isNull());
}

// No sound device and no sound server: a track still plays to its end (in
// silence), and starting it does not hold up the main thread.
TEST_F(BadEnvironment, NoAudioDevice) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse");
    qputenv("PIPEWIRE_REMOTE", "/nonexistent/pipewire");
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(_home.file(QStringLiteral("no-alsa.conf"))));
    qputenv("AUDIODEV", "/nonexistent/dsp");
    snapshot();
    auto player = MpvPlayer::create(Path::fileUrl(MediaFixtures::path(Fixture::UntaggedMp3)));
    ASSERT_TRUE(player);
    int ends = 0;
    NotificationCenter::defaultCenter().addObserver(&ends, QVMovieDidEnd, player.get(),
                                                    [&](const Notification&) { ++ends; });
    EXPECT_LT(millisecondsOf([&] { player->play(); }), kMainThreadBudgetMs);
    EXPECT_EVENTUALLY(ends == 1, 15000);
    NotificationCenter::defaultCenter().removeObserver(&ends);
}

} // namespace
