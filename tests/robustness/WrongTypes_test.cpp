#include "HostileHome.h"
#include "model/Photo.h"
#include "model/QVTrack.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"

#include <QMap>

#include <gtest/gtest.h>

namespace {

// Every kind of property-list value, and a value whose text cannot be read as its type.
const char* const kValues[] = {
    "<dict/>",
    "<dict><key>x</key><integer>1</integer></dict>",
    "<array/>",
    "<array><string>1</string></array>",
    "<string>1</string>",
    "<string/>",
    "<integer>1</integer>",
    "<integer>-1</integer>",
    "<integer>99999999999999999999</integer>",
    "<real>1.5</real>",
    "<true/>",
    "<false/>",
    "<date>2026-01-01T00:00:00Z</date>",
    "<data>AQ==</data>",
    "<integer>not a number</integer>",
};

// A catalogue template: each {Key} is a value that rows replace; the others
// keep their usual, right values. Record 2 never changes: it must survive
// whatever record 1 holds, except when the container both sit in is replaced.
QByteArray fill(QByteArray text, const QMap<QByteArray, QByteArray>& values, const QByteArray& key,
                const QByteArray& value) {
    // Values hold placeholders of their own: fill until none is left.
    for (bool filled = true; filled;) {
        filled = false;
        for (auto it = values.begin(); it != values.end(); ++it) {
            const QByteArray placeholder = "{" + it.key() + "}";
            if (text.contains(placeholder)) {
                text.replace(placeholder, it.key() == key ? value : it.value());
                filled = true;
            }
        }
    }
    return catalogue(text);
}

const QByteArray kIPhotoTemplate =
    "<key>List of Albums</key>{List of Albums}<key>Master Image List</key>{Master Image List}";
const QMap<QByteArray, QByteArray> kIPhotoValues{
    {"List of Albums",
     "<array><dict><key>AlbumName</key>{AlbumName}<key>Master</key>{Master}<key>Album Type</key>"
     "{Album Type}<key>KeyList</key>{KeyList}</dict></array>"},
    {"Master Image List", "<dict><key>1</key><dict><key>Caption</key>{Caption}<key>Comment</key>{Comment}"
                          "<key>ImagePath</key>{ImagePath}<key>ThumbPath</key>{ThumbPath}</dict>"
                          "<key>2</key><dict><key>Caption</key><string>Two</string></dict></dict>"},
    {"AlbumName", "<string>Album</string>"},
    {"Master", "<true/>"},
    {"Album Type", "<string>Regular</string>"},
    {"KeyList", "<array><string>1</string><string>2</string></array>"},
    {"Caption", "<string>One</string>"},
    {"Comment", "<string>first</string>"},
    {"ImagePath", "<string>/p/1.jpg</string>"},
    {"ThumbPath", "<string>/p/t/1.jpg</string>"},
};

const QByteArray kITunesTemplate = "<key>Tracks</key>{Tracks}<key>Playlists</key>{Playlists}";
const QMap<QByteArray, QByteArray> kITunesValues{
    {"Tracks",
     "<dict><key>1</key><dict><key>Name</key>{Name}<key>Artist</key>{Artist}<key>Total Time</key>"
     "{Total Time}<key>Location</key>{Location}<key>Has Video</key>{Has Video}</dict>"
     "<key>2</key><dict><key>Name</key><string>Two</string><key>Has Video</key><true/></dict></dict>"},
    {"Playlists",
     "<array><dict><key>Name</key>{Playlist Name}<key>Master</key>{Master}<key>Videos</key>{Videos}"
     "<key>Podcasts</key>{Podcasts}<key>Smart Criteria</key>{Smart Criteria}<key>Playlist Items</key>"
     "{Playlist Items}</dict></array>"},
    {"Name", "<string>One</string>"},
    {"Artist", "<string>Band</string>"},
    {"Total Time", "<integer>61000</integer>"},
    {"Location", "<string>file:///m/1.mp4</string>"},
    {"Has Video", "<true/>"},
    {"Playlist Name", "<string>Library</string>"},
    {"Master", "<true/>"},
    {"Videos", "<false/>"},
    {"Podcasts", "<false/>"},
    {"Smart Criteria", "<data>AQ==</data>"},
    {"Playlist Items", "<array><dict><key>Track ID</key>{Track ID}</dict>"
                       "<dict><key>Track ID</key><integer>2</integer></dict></array>"},
    {"Track ID", "<integer>1</integer>"},
};

std::vector<std::pair<QByteArray, QByteArray>>
everyKeyWithEveryValue(const QMap<QByteArray, QByteArray>& keys) {
    std::vector<std::pair<QByteArray, QByteArray>> rows;
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        for (const char* value : kValues) {
            rows.emplace_back(it.key(), QByteArray(value));
        }
    }
    return rows;
}

class WrongTypes : public HostileHome {};

// Whatever type a key of an album or photo holds, the folder loads, fast, and
// the untouched photo stays in the album unless its list was what changed.
TEST_F(WrongTypes, EveryKeyThePhotoLibraryReads) {
    for (const auto& [key, value] : everyKeyWithEveryValue(kIPhotoValues)) {
        SCOPED_TRACE(key.toStdString() + " = " + value.toStdString());
        const QString path = _home.writeFile(QStringLiteral("AlbumData.xml"),
                                             fill(kIPhotoTemplate, kIPhotoValues, key, value));
        auto folder = std::make_shared<IPhotoFolder>(QStringLiteral("iPhoto"), path);
        Tally tally;
        EXPECT_LT(millisecondsOf([&] { tally = loadEverything(folder); }), kMainThreadBudgetMs);
        if (key == "List of Albums") {
            EXPECT_TRUE(folder->files().empty()); // no master album left
            continue;
        }
        ASSERT_EQ(folder->folders().size(), 1u);
        const auto& album = folder->folders()[0]->files();
        const bool listChanged = key == "KeyList" || key == "Master Image List";
        if (!listChanged) {
            ASSERT_EQ(album.size(), 2u);
            EXPECT_EQ(album[1]->name(), QStringLiteral("Two"));
        }
    }
}

// The same for the tracks and playlists of the music library, in both the
// music tree and the movies tree (which admits only tracks with video).
TEST_F(WrongTypes, EveryKeyTheMusicLibraryReads) {
    for (const auto& [key, value] : everyKeyWithEveryValue(kITunesValues)) {
        SCOPED_TRACE(key.toStdString() + " = " + value.toStdString());
        const QString path = _home.writeFile(QStringLiteral("iTunes Music Library.xml"),
                                             fill(kITunesTemplate, kITunesValues, key, value));
        for (const bool videoOnly : {false, true}) {
            auto folder = std::make_shared<ITunesFolder>(QStringLiteral("iTunes"), path, true, videoOnly);
            EXPECT_LT(millisecondsOf([&] { loadEverything(folder); }), kMainThreadBudgetMs);
            const bool listChanged = key == "Tracks" || key == "Playlists" || key == "Playlist Items";
            if (listChanged) {
                continue;
            }
            ASSERT_EQ(folder->folders().size(), 1u);
            const auto& playlist = folder->folders()[0]->files();
            ASSERT_FALSE(playlist.empty());
            EXPECT_EQ(playlist.back()->name(), QStringLiteral("Two"));
        }
    }
}

} // namespace
