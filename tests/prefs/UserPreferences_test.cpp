#include "platform/system/NotificationCenter.h"
#include "platform/system/PreferencesStore.h"
#include "prefs/UserPreferences.h"
#include "support/PrivateBus.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// One running copy of the library in a process of its own (see PrefsPeer.cpp).
class Peer {
public:
    Peer() {
        _process.setProgram(QStringLiteral(QVMB_TEST_BINARY_DIR "/prefs_peer"));
        _process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        _process.start();
        _process.waitForStarted(5000);
    }
    ~Peer() {
        if (_process.state() != QProcess::NotRunning) {
            quit();
        }
    }

    QByteArray ask(const QByteArray& command) {
        _process.write(command + '\n');
        _process.waitForBytesWritten(5000);
        while (!_process.canReadLine()) {
            if (!_process.waitForReadyRead(5000)) {
                return "no answer";
            }
        }
        return _process.readLine().trimmed();
    }
    QJsonObject lists() { return QJsonDocument::fromJson(ask("get")).object(); }
    QStringList list(const char* kind) {
        QStringList result;
        for (const auto& value : lists().value(QLatin1String(kind)).toArray()) {
            result.append(value.toString());
        }
        return result;
    }
    int changes() { return ask("changes").toInt(); }
    void quit() {
        _process.write("quit\n");
        _process.waitForFinished(5000);
    }

private:
    QProcess _process;
};

TEST(UserPreferences, NothingStoredGivesTheDefaultListsAndOneChangeNotification) {
    TempHome home;
    Peer peer;
    EXPECT_EQ(peer.list("pictures"), QStringList{QStringLiteral("~/Pictures")});
    EXPECT_EQ(peer.list("music"), QStringList{QStringLiteral("~/Music")});
    EXPECT_EQ(peer.list("movies"), QStringList{QStringLiteral("~/Movies")});
    EXPECT_EQ(peer.changes(), 1);
}

TEST(UserPreferences, EmptyAndOneElementListsSurviveARestart) {
    TempHome home;
    {
        Peer first;
        EXPECT_EQ(first.ask("set pictures []"), "ok");
        EXPECT_EQ(first.ask("set music [\"~/Only\"]"), "ok");
        EXPECT_EQ(first.ask("set movies [\"/a\",\"~/b\"]"), "ok");
        EXPECT_EQ(first.ask("sync"), "ok");
    }
    Peer restarted;
    EXPECT_EQ(restarted.list("pictures"), QStringList());
    EXPECT_EQ(restarted.list("music"), QStringList{QStringLiteral("~/Only")});
    EXPECT_EQ(restarted.list("movies"), (QStringList{QStringLiteral("/a"), QStringLiteral("~/b")}));
}

TEST(UserPreferences, StoredValuesThatAreNotListsOfStringsFallBackToTheDefaults) {
    TempHome home;
    home.writeFile(QStringLiteral(".config/org.qvmediabrowser.QVMediaBrowser.conf"),
                   "[General]\n"
                   "PicturePaths=just one string\n"
                   "MoviePaths=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                   "[MusicPaths]\n"
                   "1\\value=~/Tunes\n"
                   "size=1\n");
    Peer peer;
    EXPECT_EQ(peer.list("pictures"), QStringList{QStringLiteral("~/Pictures")});
    EXPECT_EQ(peer.list("music"), QStringList{QStringLiteral("~/Tunes")});
    EXPECT_EQ(peer.list("movies"), QStringList{QStringLiteral("~/Movies")});
}

TEST(UserPreferences, ACorruptFileReadsAsDefaults) {
    TempHome home;
    home.writeFile(QStringLiteral(".config/org.qvmediabrowser.QVMediaBrowser.conf"),
                   QByteArray("\x00\xff\xfe[[[=\n\x01garbage", 17));
    Peer peer;
    EXPECT_EQ(peer.list("pictures"), QStringList{QStringLiteral("~/Pictures")});
    EXPECT_EQ(peer.list("movies"), QStringList{QStringLiteral("~/Movies")});
}

TEST(UserPreferences, AnotherRunningCopyPicksUpAChangeOnlyAfterTheBroadcast) {
    TempHome home;
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    Peer changer;
    Peer other;
    ASSERT_EQ(other.changes(), 1);

    ASSERT_EQ(changer.ask("set pictures [\"~/New\"]"), "ok");
    EXPECT_EQ(changer.list("pictures"), QStringList{QStringLiteral("~/New")});
    EXPECT_EQ(other.list("pictures"), QStringList{QStringLiteral("~/Pictures")}); // not yet told

    ASSERT_EQ(changer.ask("sync"), "ok");
    EXPECT_EVENTUALLY(other.changes() == 2, 5000);
    EXPECT_EQ(other.list("pictures"), QStringList{QStringLiteral("~/New")});
    // The changer hears the setter at once and its own broadcast later: four in all with the first load...
    // here one setter, so load + setter + broadcast.
    EXPECT_EVENTUALLY(changer.changes() == 3, 5000);
}

// The store of this test process itself.
TEST(UserPreferences, SettersChangeTheLiveListsAndPostOncePerCall) {
    UserPreferences* prefs = UserPreferences::sharedPreferences();
    ASSERT_EQ(prefs, UserPreferences::sharedPreferences());
    QStringList& live = prefs->musicPaths();
    int posts = 0;
    const void* poster = nullptr;
    NotificationCenter::defaultCenter().addObserver(&posts, UserPreferencesChanged, nullptr,
                                                    [&](const Notification& n) {
                                                        ++posts;
                                                        poster = n.object;
                                                    });
    prefs->setMusicPaths({QStringLiteral("~/A"), QStringLiteral("~/A")});
    EXPECT_EQ(live,
              (QStringList{QStringLiteral("~/A"), QStringLiteral("~/A")})); // kept as given, duplicates too
    EXPECT_EQ(&live, &prefs->musicPaths());
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(poster, prefs);
    EXPECT_EQ(prefs->preferenceForKey(QLatin1String(MusicPathsKey)).toStringList(), live);

    // Setting the live list itself must not lose it.
    prefs->setMusicPaths(prefs->musicPaths());
    EXPECT_EQ(live.size(), 2);

    prefs->synchronizedPrefs(); // a re-read posts even when nothing changed
    EXPECT_EQ(posts, 3);
    NotificationCenter::defaultCenter().removeObserver(&posts);
}

TEST(UserPreferences, DefaultsAreThreeOneElementLists) {
    const QVariantMap defaults = Defaults();
    EXPECT_EQ(defaults.size(), 3);
    EXPECT_EQ(defaults.value(QStringLiteral("PicturePaths")).toStringList(),
              QStringList{QStringLiteral("~/Pictures")});
    EXPECT_EQ(defaults.value(QStringLiteral("MusicPaths")).toStringList(),
              QStringList{QStringLiteral("~/Music")});
    EXPECT_EQ(defaults.value(QStringLiteral("MoviePaths")).toStringList(),
              QStringList{QStringLiteral("~/Movies")});
    EXPECT_EQ(UserPreferences::bundleID(), QStringLiteral("org.qvmediabrowser.QVMediaBrowser"));
}

} // namespace
