#include "model/QVMedia.h"
#include "model/QVTrack.h"
#include "platform/index/TrackerIndex.h"
#include "prefs/UserPreferences.h"
#include "sources/index/TrackerFolder.h"
#include "support/CatalogueOutline.h"
#include "support/MediaRoots.h"
#include "support/PrivateBus.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

using CatalogueOutline::items;

// Runs an update on the index through its own command-line tool.
bool update(const QString& sparql) {
    QProcess tool;
    tool.start(QStringLiteral("tracker3"),
               {QStringLiteral("sparql"), QStringLiteral("-b"), QLatin1String(TrackerIndex::filesService),
                QStringLiteral("-u"), QStringLiteral("-q"), sparql});
    const bool done =
        tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    EXPECT_TRUE(done) << tool.readAllStandardError().toStdString();
    return done;
}

QString song(const QString& path, const QString& title, int seconds, const QString& artist) {
    return QStringLiteral("<file://%1> a nfo:FileDataObject ; nie:url \"file://%1\" . "
                          "<urn:song:%2> a nmm:MusicPiece, nfo:Audio ; nie:title \"%2\" ; nfo:duration %3 ; "
                          "nmm:artist <urn:artist:%4> ; nie:isStoredAs <file://%1> . "
                          "<urn:artist:%4> a nmm:Artist ; nmm:artistName \"%5\" . ")
        .arg(path, title)
        .arg(seconds)
        .arg(QString(artist).replace(QLatin1Char(' '), QLatin1Char('_')), artist);
}

// A real index: Tracker's own endpoint serving a database in the generated
// home, where the desktop's indexer keeps it, on a private session bus.
class TrackerIndexFixture : public ::testing::Test {
protected:
    void startIndex() {
        const QString database = _home.makeDirectory(QStringLiteral(".cache/tracker3/files"));
        _endpoint.setProcessChannelMode(QProcess::MergedChannels);
        _endpoint.start(QStringLiteral("tracker3"),
                        {QStringLiteral("endpoint"), QStringLiteral("-d"), database, QStringLiteral("-b"),
                         QLatin1String(TrackerIndex::filesService), QStringLiteral("-o"),
                         QStringLiteral("nepomuk"), QStringLiteral("--session")});
        ASSERT_TRUE(_endpoint.waitForStarted(10000)) << "tracker3 is not installed (tools/setup installs it)";
        // Ready once it owns its name on the bus.
        QDBusConnection bus =
            QDBusConnection::connectToBus(QString::fromLatin1(_bus.address()), QStringLiteral("test"));
        ASSERT_EVENTUALLY(bus.interface()->isServiceRegistered(QLatin1String(TrackerIndex::filesService)),
                          30000);
        QDBusConnection::disconnectFromBus(QStringLiteral("test"));
    }
    void TearDown() override {
        _endpoint.terminate();
        _endpoint.waitForFinished(10000);
    }

    TempHome _home;
    PrivateBus _bus;
    QProcess _endpoint;

private:
    bool _listening() {
        return QFileInfo::exists(_home.file(QStringLiteral(".cache/tracker3/files/meta.db")));
    }
};

// No index: no rows. With one: "All Pictures", "All Music" and "All Movies"
// from the index's own titles, artists and lengths; a song the index adds
// later shows in the loaded folder.
TEST_F(TrackerIndexFixture, ListsWhatTheIndexKnowsAndFollowsIt) {
    ASSERT_TRUE(_bus.isRunning());
    UserPreferences::sharedPreferences()->setPicturePaths({});
    UserPreferences::sharedPreferences()->setMusicPaths({});
    UserPreferences::sharedPreferences()->setMoviePaths({});
    MediaRoots roots;
    auto& [photos, music, movies, media] = roots;
    EXPECT_TRUE(music->folders().empty());

    startIndex();
    const QString home = _home.path();
    ASSERT_TRUE(
        update(QStringLiteral("INSERT DATA { ") + song(home + "/Music/b.flac", "Tide", 61, "Harbour Lights") +
               QStringLiteral("<file://HOME/Pictures/sea.jpg> a nfo:FileDataObject ; nie:url "
                              "\"file://HOME/Pictures/sea.jpg\" . <urn:pic:1> a nfo:Image, nmm:Photo ; "
                              "nie:title \"Sea\" ; nie:isStoredAs <file://HOME/Pictures/sea.jpg> . "
                              "<file://HOME/Videos/a%20b.mp4> a nfo:FileDataObject ; nie:url "
                              "\"file://HOME/Videos/a%20b.mp4\" . <urn:vid:1> a nmm:Video ; "
                              "nie:isStoredAs <file://HOME/Videos/a%20b.mp4> . }")
                   .replace(QStringLiteral("HOME"), home)));
    UserPreferences::sharedPreferences()->setMusicPaths({}); // rebuilds the roots
    EXPECT_EQ(CatalogueOutline::folderNames(photos), QStringList{"All Pictures"});
    EXPECT_EQ(CatalogueOutline::folderNames(music), QStringList{"All Music"});
    EXPECT_EQ(CatalogueOutline::folderNames(movies), QStringList{"All Movies"});
    EXPECT_EQ(items(photos->folders()[0]->files()), QStringList{"Sea|" + home + "/Pictures/sea.jpg"});
    EXPECT_EQ(items(movies->folders()[0]->files()),
              QStringList{"a b.mp4|file://" + home + "/Videos/a b.mp4"});

    const MediaFolderPtr all = music->folders()[0];
    all->loadInBackground();
    ASSERT_EVENTUALLY(all->loadState() == MediaFolder::LoadState::Loaded, 30000);
    EXPECT_EQ(items(all->files()), QStringList{"Tide|Harbour Lights|61|file://" + home + "/Music/b.flac"});
    ASSERT_TRUE(update(QStringLiteral("INSERT DATA { ") + song(home + "/Music/a.ogg", "Gull", 5, "Other") +
                       QStringLiteral("}")));
    EXPECT_EVENTUALLY(all->files().size() == 2, 30000);
    EXPECT_EQ(items(all->files()), (QStringList{"Gull|Other|5|file://" + home + "/Music/a.ogg",
                                                "Tide|Harbour Lights|61|file://" + home + "/Music/b.flac"}));
}

} // namespace
