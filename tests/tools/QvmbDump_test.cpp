#include "support/TempHome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QByteArray plist(const QByteArray& body) {
    return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\r\n<plist version=\"1.0\">\r\n<dict>\r\n" +
           body + "\r\n</dict>\r\n</plist>\r\n";
}

// Runs qvmb-dump in the current (temporary) home and answers its document.
QJsonObject dump(const QStringList& arguments = {}) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(QVMB_DUMP_PATH), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

QJsonObject at(const QJsonValue& array, int index) {
    return array.toArray().at(index).toObject();
}

QStringList names(const QJsonValue& array) {
    QStringList result;
    for (const auto& value : array.toArray()) {
        result.append(value.toObject().value(QLatin1String("name")).toString());
    }
    return result;
}

class QvmbDump : public ::testing::Test {
protected:
    void SetUp() override {
        _home.writeFile(
            QStringLiteral("Pictures/iPhoto Library/AlbumData.xml"),
            plist(
                "<key>List of Albums</key><array><dict><key>AlbumName</key><string>Photos</string>"
                "<key>Master</key><true/><key>KeyList</key><array><string>7</string></array></dict></array>"
                "<key>Master Image List</key><dict><key>7</key><dict><key>Caption</key><string>Beach</string>"
                "<key>ImagePath</key><string>/lib/beach.jpg</string><key>ThumbPath</key>"
                "<string>/lib/thumbs/beach.jpg</string></dict></dict>"));
        _home.writeFile(
            QStringLiteral("Music/iTunes/iTunes Music Library.xml"),
            plist("<key>Tracks</key><dict>"
                  "<key>1</key><dict><key>Name</key><string>Cafe\xCC\x81 Song</string><key>Artist</key>"
                  "<string>Band</string><key>Total Time</key><integer>61999</integer><key>Location</key>"
                  "<string>file://localhost/Users/me/Cafe%CC%81%20Song.mp3</string></dict>"
                  "<key>2</key><dict><key>Name</key><string>Episode</string><key>Location</key>"
                  "<string>http://example.com/e.mp3</string></dict>"
                  "<key>3</key><dict><key>Name</key><string>Film</string><key>Has Video</key><true/>"
                  "<key>Location</key><string>file:///Users/me/film.m4v</string></dict>"
                  "</dict><key>Playlists</key><array><dict><key>Name</key><string>Library</string>"
                  "<key>Master</key><true/><key>Playlist Items</key><array>"
                  "<dict><key>Track ID</key><integer>1</integer></dict>"
                  "<dict><key>Track ID</key><integer>2</integer></dict>"
                  "<dict><key>Track ID</key><integer>3</integer></dict></array></dict>"
                  "<dict><key>Name</key><string>Empty</string></dict></array>"));
        _home.writeFile(QStringLiteral("Pictures/Trips/harbour.jpg"), "not decoded by the dump");
        _home.makeDirectory(QStringLiteral("Movies"));
    }
    TempHome _home;
};

TEST_F(QvmbDump, ShowsTheTreesTheBrowserBuilds) {
    const QJsonObject document = dump();
    ASSERT_FALSE(document.isEmpty());

    const QJsonArray pictures = document.value(QLatin1String("pictures")).toArray();
    ASSERT_EQ(pictures.size(), 2);
    const QJsonObject iPhoto = pictures.at(0).toObject();
    EXPECT_EQ(iPhoto.value(QLatin1String("type")), QStringLiteral("IPhotoFolder"));
    EXPECT_EQ(names(iPhoto.value(QLatin1String("folders"))), QStringList({"Photos"}));
    EXPECT_EQ(at(iPhoto.value(QLatin1String("files")), 0),
              QJsonObject({{"kind", "photo"},
                           {"name", "Beach"},
                           {"path", "/lib/beach.jpg"},
                           {"thumbPath", "/lib/thumbs/beach.jpg"}}));
    const QJsonObject local = pictures.at(1).toObject();
    EXPECT_EQ(local.value(QLatin1String("type")), QStringLiteral("LocalFolder"));
    EXPECT_EQ(local.value(QLatin1String("name")), QStringLiteral("Pictures"));
    const QJsonObject trips = at(local.value(QLatin1String("folders")), 0);
    EXPECT_EQ(at(trips.value(QLatin1String("files")), 0).value(QLatin1String("path")),
              _home.file(QStringLiteral("Pictures/Trips/harbour.jpg")));

    const QJsonArray music = document.value(QLatin1String("music")).toArray();
    ASSERT_EQ(music.size(), 2);
    EXPECT_EQ(music.at(1).toObject().value(QLatin1String("type")), QStringLiteral("LocalFolder"));
    const QJsonObject iTunes = music.at(0).toObject();
    EXPECT_EQ(iTunes.value(QLatin1String("type")), QStringLiteral("ITunesFolder"));
    EXPECT_EQ(names(iTunes.value(QLatin1String("folders"))), QStringList({"Library", "Empty"}));
    const QJsonArray tracks = iTunes.value(QLatin1String("files")).toArray();
    ASSERT_EQ(tracks.size(), 3);
    EXPECT_EQ(tracks.at(0).toObject(),
              QJsonObject({{"kind", "track"},
                           {"name", QStringLiteral("Cafe\u0301 Song")},
                           {"artist", "Band"},
                           {"length", 61},
                           {"url", "file:///Users/me/Cafe%CC%81%20Song.mp3"},
                           {"path", QStringLiteral("/Users/me/Cafe\u0301 Song.mp3")}}));
    const QJsonObject episode = tracks.at(1).toObject();
    EXPECT_EQ(episode.value(QLatin1String("url")), QStringLiteral("http://example.com/e.mp3"));
    EXPECT_FALSE(episode.contains(QLatin1String("path"))) << "a remote track has no local path";
    EXPECT_EQ(episode.value(QLatin1String("artist")), QJsonValue(QJsonValue::Null));

    const QJsonArray movies = document.value(QLatin1String("movies")).toArray();
    ASSERT_EQ(movies.size(), 2);
    EXPECT_EQ(names(movies.at(0).toObject().value(QLatin1String("files"))), QStringList({"Film"}));
    EXPECT_EQ(names(movies.at(0).toObject().value(QLatin1String("folders"))), QStringList({"Library"}));
    EXPECT_EQ(movies.at(1).toObject().value(QLatin1String("name")), QStringLiteral("Movies"));
}

TEST_F(QvmbDump, FilterKeepsOnlyMatchingItems) {
    const QJsonObject document = dump({QStringLiteral("--filter"), QStringLiteral("caf\u00e9")});
    const QJsonObject iTunes = at(document.value(QLatin1String("music")), 0);
    EXPECT_EQ(names(iTunes.value(QLatin1String("files"))), QStringList({QStringLiteral("Cafe\u0301 Song")}));
    EXPECT_TRUE(
        at(document.value(QLatin1String("pictures")), 0).value(QLatin1String("files")).toArray().isEmpty());
}

} // namespace
