#include "model/QVTrack.h"
#include "platform/system/Path.h"
#include "platform/system/Resources.h"
#include "sources/catalogues/ITunesFolder.h"
#include "support/Names.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

const QString kCatalogue = QStringLiteral("Music/iTunes/iTunes Music Library.xml");

QByteArray plist(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n"
           "<key>Major Version</key><integer>1</integer>\n" +
           body + "\n</dict>\n</plist>\n";
}

// A track record; extra carries further keys such as "Has Video".
QByteArray track(int id, const QByteArray& extra = {}) {
    const QByteArray n = QByteArray::number(id);
    return "<key>" + n + "</key><dict><key>Track ID</key><integer>" + n +
           "</integer><key>Name</key><string>T" + n + "</string><key>Artist</key><string>A" + n +
           "</string><key>Total Time</key><integer>200000</integer><key>Location</key>"
           "<string>file://localhost/Music/t" +
           n + ".mp3</string>" + extra + "</dict>";
}

QByteArray tracks(const QByteArray& records) {
    return "<key>Tracks</key><dict>" + records + "</dict>";
}

QByteArray playlist(const QByteArray& name, const QByteArray& extra, const QList<int>& ids) {
    QByteArray text = "<dict><key>Name</key><string>" + name + "</string>" + extra +
                      "<key>Playlist ID</key><integer>77</integer>";
    if (!ids.isEmpty()) {
        text += "<key>Playlist Items</key><array>";
        for (const int id : ids) {
            text += "<dict><key>Track ID</key><integer>" + QByteArray::number(id) + "</integer></dict>";
        }
        text += "</array>";
    }
    return text + "</dict>";
}

QByteArray playlists(const QByteArray& records) {
    return "<key>Playlists</key><array>" + records + "</array>";
}

const QByteArray kMaster = "<key>Master</key><true/><key>Visible</key><false/>";
const QByteArray kVideo = "<key>Has Video</key><true/>";

ITunesFolderPtr makeLibrary(const TempHome& home, const QByteArray& contents, bool includeEmpty = true,
                            bool videoOnly = false) {
    home.writeFile(kCatalogue, contents);
    return ITunesFolder::create(QStringLiteral("iTunes"), QLatin1String("~/") + kCatalogue, includeEmpty,
                                videoOnly);
}

QVTrackPtr trackAt(const MediaFolderPtr& folder, std::size_t index) {
    return std::dynamic_pointer_cast<QVTrack>(folder->files().at(index));
}

TEST(ITunesFolder, PlaylistsComeInCatalogueOrderEachWithItsIcon) {
    TempHome home;
    const QByteArray smart =
        "<key>Smart Info</key><data>AQEA</data><key>Smart Criteria</key><data>AAEC</data>";
    const auto library = makeLibrary(
        home, plist(tracks(track(1) + track(2)) +
                    playlists(playlist("Library", kMaster + smart, {1, 2}) +
                              playlist("Videos", "<key>Videos</key><true/><key>Podcasts</key><true/>", {}) +
                              playlist("Podcasts", "<key>Podcasts</key><true/>", {2}) +
                              playlist("90s", "<key>Videos</key><false/>" + smart, {1}) +
                              playlist("Mix", "", {2, 1}) + playlist("Empty", "", {}) +
                              playlist("Folder", "<key>Folder</key><true/>", {}) + "<dict/>")));
    ASSERT_TRUE(library);
    EXPECT_EQ(library->icon(), Resources::image(QStringLiteral("iTunes.tiff")));
    EXPECT_TRUE(library->isExpandable());
    EXPECT_FALSE(library->isLoaded());

    const auto& lists = library->folders();
    EXPECT_EQ(names(lists),
              QStringList({"Library", "Videos", "Podcasts", "90s", "Mix", "Empty", "Folder", QString()}));
    const char* expectedIcons[] = {"MBiTunesLibrary.tif",          "MBiTunesVideos.tif",
                                   "MBiTunesPodcastsPlaylist.tif", "MBiTunesSmartPlaylist.tif",
                                   "MBiTunesPlaylist.tif",         "MBiTunesPlaylist.tif",
                                   "MBiTunesPlaylist.tif",         "MBiTunesPlaylist.tif"};
    ASSERT_EQ(lists.size(), 8u);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(lists[i]->icon(), Resources::image(QLatin1String(expectedIcons[i]))) << i;
        EXPECT_EQ(lists[i]->parent(), library.get());
        EXPECT_FALSE(lists[i]->isExpandable());
    }
    EXPECT_EQ(names(lists[4]->files()), QStringList({"T2", "T1"}));
    EXPECT_TRUE(lists[5]->files().empty());
}

TEST(ITunesFolder, TrackValuesFromTheirRecords) {
    TempHome home;
    const auto record = [](int id, const QByteArray& keys) {
        return "<key>" + QByteArray::number(id) + "</key><dict>" + keys + "</dict>";
    };
    const auto time = [](const char* ms) {
        return "<key>Total Time</key><integer>" + QByteArray(ms) + "</integer>";
    };
    const auto location = [](const char* url) {
        return "<key>Location</key><string>" + QByteArray(url) + "</string>";
    };
    const auto library = makeLibrary(
        home,
        plist(tracks(
                  record(
                      1,
                      "<key>Name</key><string>Tom &#38; Jerry</string><key>Artist</key><string>Duo</string>" +
                          time("1999") + location("file://localhost/Users/me/Music/a%20b%23.mp3")) +
                  record(2, time("999") + location("file:///Users/me/Music/Cafe%CC%81.m4a")) +
                  record(3, time("-5000") + location("file://localhost/C:/Users/me/Music/x.mp3")) +
                  record(4, time("4294967296000000") + location("http://example.com/pod.mp3")) +
                  record(5, "<key>Total Time</key><string>180000</string>" + location("not a url")) +
                  record(6, "<key>Name</key><integer>6</integer>" + location("relative/path.mp3")) +
                  record(7, time("86400000") + "<key>Location</key><true/>")) +
              playlists(playlist("Library", kMaster, {1, 2, 3, 4, 5, 6, 7}))));
    ASSERT_EQ(library->files().size(), 7u);
    const auto first = trackAt(library, 0);
    EXPECT_EQ(first->name(), QStringLiteral("Tom & Jerry"));
    EXPECT_EQ(first->artist(), QStringLiteral("Duo"));
    EXPECT_EQ(first->length(), 1u);
    EXPECT_EQ(Path::localPath(first->url()), QStringLiteral("/Users/me/Music/a b#.mp3"));
    EXPECT_EQ(first->url().toEncoded(), QByteArray("file:///Users/me/Music/a%20b%23.mp3"));

    const auto second = trackAt(library, 1);
    EXPECT_EQ(second->length(), 0u);
    EXPECT_TRUE(second->artist().isNull());
    EXPECT_EQ(Path::localPath(second->url()), QStringLiteral("/Users/me/Music/Cafe\u0301.m4a"));

    // Windows and http locations stay URLs and name no local file.
    const auto windows = trackAt(library, 2);
    EXPECT_EQ(windows->length(), 0u);
    EXPECT_TRUE(windows->url().isValid());
    EXPECT_TRUE(Path::localPath(windows->url()).isNull());
    const auto remote = trackAt(library, 3);
    EXPECT_EQ(remote->url(), QUrl(QStringLiteral("http://example.com/pod.mp3")));
    EXPECT_TRUE(Path::localPath(remote->url()).isNull());
    EXPECT_EQ(remote->length(), QVTrack::UnknownLength);

    EXPECT_EQ(trackAt(library, 4)->length(), 0u) << "a duration that is not an integer counts as absent";
    EXPECT_TRUE(trackAt(library, 4)->url().isEmpty());
    EXPECT_TRUE(trackAt(library, 5)->url().isEmpty());
    EXPECT_EQ(trackAt(library, 6)->length(), 86400u);
    EXPECT_TRUE(trackAt(library, 6)->url().isEmpty());
}

TEST(ITunesFolder, UnusualFileLocationsKeepTheirExactMeaning) {
    TempHome home;
    const auto record = [](int id, const char* location) {
        return "<key>" + QByteArray::number(id) + "</key><dict><key>Location</key><string>" + location +
               "</string></dict>";
    };
    const auto library = makeLibrary(
        home, plist(tracks(record(1, "file:///M/x%FF.mp3") + record(2, "file://localhost/M/a.mp3?v=1#t") +
                           record(3, "FILE://LOCALHOST/M/a%2Fb.mp3") + record(4, "file:///M/raw space.mp3")) +
                    playlists(playlist("Library", kMaster, {1, 2, 3, 4}))));
    ASSERT_EQ(library->files().size(), 4u);
    EXPECT_EQ(Path::toNative(Path::localPath(trackAt(library, 0)->url())), QByteArray("/M/x\xFF.mp3"));
    EXPECT_EQ(trackAt(library, 1)->url().toEncoded(), QByteArray("file:///M/a.mp3?v=1#t"));
    EXPECT_EQ(trackAt(library, 2)->url().toEncoded(), QByteArray("file:///M/a%2Fb.mp3"));
    EXPECT_EQ(trackAt(library, 3)->url().toEncoded(), QByteArray("file:///M/raw%20space.mp3"));
}

TEST(ITunesFolder, TheLibraryHoldsTheMasterPlaylistsTracksAsSharedObjects) {
    TempHome home;
    const auto library = makeLibrary(
        home, plist(tracks(track(1) + track(2) + track(3) + track(4) + track(5)) +
                    playlists(playlist("Mix", "", {4, 2, 4, 99}) + playlist("Library", kMaster, {3, 1, 2}) +
                              playlist("Also master", "<key>Master</key><integer>1</integer>", {2, 4}))));
    const auto& lists = library->folders();
    ASSERT_EQ(lists.size(), 3u);
    EXPECT_EQ(names(lists[0]->files()), QStringList({"T4", "T2", "T4"}));
    // Track 5 is in no playlist and shows nowhere, not even in the library's files.
    EXPECT_EQ(names(library->files()), QStringList({"T3", "T1", "T2", "T2", "T4"}));
    EXPECT_EQ(lists[0]->files()[0], lists[0]->files()[2]);
    EXPECT_EQ(lists[0]->files()[1], library->files()[2]);
    EXPECT_EQ(lists[2]->files()[1], lists[0]->files()[0]);
}

TEST(ITunesFolder, MoviesLibraryAdmitsOnlyVideoAndDropsEmptyPlaylists) {
    TempHome home;
    const QByteArray catalogue =
        plist(tracks(track(1) + track(2, kVideo) + track(3, "<key>Has Video</key><false/>") +
                     track(4, "<key>Has Video</key><integer>1</integer>") + track(5, kVideo)) +
              playlists(playlist("Library", kMaster, {1, 2, 3, 4}) + playlist("Audio", "", {1, 3}) +
                        playlist("Films", "", {5, 1}) + playlist("Empty", "", {})));

    const auto movies = makeLibrary(home, catalogue, false, true);
    EXPECT_EQ(names(movies->folders()), QStringList({"Library", "Films"}));
    EXPECT_EQ(names(movies->files()), QStringList({"T2", "T4"}));
    EXPECT_EQ(names(movies->folders()[1]->files()), QStringList({"T5"}));

    const auto music = makeLibrary(home, catalogue, true, false);
    EXPECT_EQ(names(music->folders()), QStringList({"Library", "Audio", "Films", "Empty"}));
    EXPECT_EQ(names(music->files()), QStringList({"T1", "T2", "T3", "T4"}));
    EXPECT_NE(music->files()[1], movies->files()[0]) << "the two library folders share no items";

    // A movies library whose master playlist holds no video lists no master.
    const auto audioOnly =
        makeLibrary(home,
                    plist(tracks(track(1) + track(2, kVideo)) +
                          playlists(playlist("Library", kMaster, {1}) + playlist("V", "", {2}))),
                    false, true);
    EXPECT_EQ(names(audioOnly->folders()), QStringList({"V"}));
    EXPECT_TRUE(audioOnly->files().empty());
}

TEST(ITunesFolder, TrackKeysAreMatchedAsDecimalNumbers) {
    TempHome home;
    const auto record = [](const char* key, const char* name) {
        return "<key>" + QByteArray(key) + "</key><dict><key>Name</key><string>" + name + "</string></dict>";
    };
    // Playlists before the tracks: the order of the two keys does not matter.
    const auto library = makeLibrary(
        home, plist(playlists(playlist("Library", kMaster, {7, 8, 9, -3, 0})) +
                    tracks(record("07", "leading zero") + record("7", "seven") + record("8", "first eight") +
                           record("8", "second eight") + record("-3", "negative") + record("0", "zero") +
                           record("x", "not a number"))));
    EXPECT_EQ(names(library->files()), QStringList({"seven", "second eight", "negative", "zero"}));

    // Numbers spread far apart are found as well.
    TempHome spread;
    const auto far =
        makeLibrary(spread, plist(tracks(record("2000000000", "high") + record("8", "first eight") +
                                         record("-2000000000", "low") + record("8", "second eight")) +
                                  playlists(playlist("Library", kMaster, {8, -2000000000, 5, 2000000000}))));
    EXPECT_EQ(names(far->files()), QStringList({"second eight", "low", "high"}));
}

TEST(ITunesFolder, CataloguesThatCannotBeReadOrLackAKey) {
    TempHome home;
    EXPECT_FALSE(
        ITunesFolder::create(QStringLiteral("iTunes"), QLatin1String("~/") + kCatalogue, true, false));

    const QByteArray full = plist(tracks(track(1)) + playlists(playlist("Library", kMaster, {1})));
    for (const QByteArray& contents :
         {QByteArray(), full.left(full.size() - 20), QByteArray("<plist><true/></plist>")}) {
        const auto library = makeLibrary(home, contents);
        ASSERT_TRUE(library);
        EXPECT_TRUE(library->files().empty());
        EXPECT_TRUE(library->folders().empty());
        EXPECT_FALSE(library->isExpandable());
    }

    const QByteArray noTracks =
        plist(playlists(playlist("Library", kMaster, {1}) + playlist("Mix", "", {1})));
    EXPECT_EQ(makeLibrary(home, noTracks, true, false)->folders().size(), 2u);
    EXPECT_TRUE(makeLibrary(home, noTracks, true, false)->files().empty());
    EXPECT_TRUE(makeLibrary(home, noTracks, false, true)->folders().empty());

    const auto noPlaylists = makeLibrary(home, plist(tracks(track(1))));
    EXPECT_TRUE(noPlaylists->files().empty());
    EXPECT_TRUE(noPlaylists->folders().empty());
}

TEST(ITunesFolder, ReadsTheCatalogueOnceInTheShapeOfRealExports) {
    TempHome home;
    QByteArray contents = plist(tracks(track(1, "<key>Play Date</key><integer>3339850093</integer>")) +
                                playlists(playlist("Library", kMaster, {1})));
    contents.replace("\n", "\r\n");
    const auto library = makeLibrary(home, "\xEF\xBB\xBF" + contents);
    ASSERT_EQ(library->files().size(), 1u);
    EXPECT_EQ(Path::localPath(trackAt(library, 0)->url()), QStringLiteral("/Music/t1.mp3"));

    home.writeFile(kCatalogue, plist(""));
    EXPECT_EQ(library->files().size(), 1u) << "changes show only in a new folder";
}

// A library copied from a Mac, catalogue and media folder together, as iTunes
// writes them: the catalogue names the files where they were on the Mac.
// Each track is found where it was copied to, beside the catalogue; a track
// the copy does not hold keeps the location the catalogue gives.
TEST(ITunesFolder, ALibraryCopiedFromAMacFindsItsTracksBesideTheCatalogue) {
    TempHome home;
    const QString media = QStringLiteral("Music/iTunes/iTunes Media/Music/");
    const QString opening = home.writeFile(media + QStringLiteral("The Band/First Album/01 Opening.m4a"));
    const QString encore = home.writeFile(media + QStringLiteral("The Band/First Album/02 Encore.m4a"));
    // A Mac writes names decomposed, and a copy keeps them so.
    const QString cafe = home.writeFile(media + QStringLiteral("Cafe\u0301/Live/01 Song.mp3"));
    const auto record = [](int id, const QByteArray& name, const QByteArray& location) {
        const QByteArray n = QByteArray::number(id);
        return "\t\t<key>" + n + "</key>\n\t\t<dict>\n\t\t\t<key>Track ID</key><integer>" + n +
               "</integer>\n\t\t\t<key>Name</key><string>" + name +
               "</string>\n\t\t\t<key>Kind</key><string>AAC audio file</string>\n"
               "\t\t\t<key>Total Time</key><integer>201000</integer>\n"
               "\t\t\t<key>Track Type</key><string>File</string>\n\t\t\t<key>Location</key><string>" +
               location +
               "</string>\n\t\t\t<key>File Folder Count</key><integer>5</integer>\n"
               "\t\t\t<key>Library Folder Count</key><integer>1</integer>\n\t\t</dict>\n";
    };
    const QByteArray mac = "file://localhost/Users/bob/Music/iTunes/iTunes%20Media/";
    const QByteArray catalogue =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>Major Version</key><integer>1</integer>\n\t<key>Minor Version</key><integer>1</integer>\n"
        "\t<key>Application Version</key><string>10.5.3</string>\n"
        "\t<key>Music Folder</key><string>" +
        mac +
        "</string>\n\t<key>Library Persistent ID</key><string>8D2F0C6B4E0A1234</string>\n"
        "\t<key>Tracks</key>\n\t<dict>\n" +
        record(1001, "Opening", mac + "Music/The%20Band/First%20Album/01%20Opening.m4a") +
        record(1002, "Encore", mac + "Music/The%20Band/First%20Album/02%20Encore.m4a") +
        record(1003, "Song", mac + "Music/Cafe%CC%81/Live/01%20Song.mp3") +
        record(1004, "Not copied", mac + "Music/Gone/01%20Gone.m4a") +
        record(1005, "Elsewhere", "file://localhost/Users/bob/Downloads/loose.mp3") +
        "\t</dict>\n\t<key>Playlists</key>\n\t<array>\n\t\t<dict>\n"
        "\t\t\t<key>Name</key><string>Library</string>\n\t\t\t<key>Master</key><true/>\n"
        "\t\t\t<key>Playlist ID</key><integer>2000</integer>\n"
        "\t\t\t<key>Playlist Persistent ID</key><string>1F3C2A1B0E9D8C7B</string>\n"
        "\t\t\t<key>Visible</key><false/>\n\t\t\t<key>All Items</key><true/>\n"
        "\t\t\t<key>Playlist Items</key>\n\t\t\t<array>\n"
        "\t\t\t\t<dict><key>Track ID</key><integer>1001</integer></dict>\n"
        "\t\t\t\t<dict><key>Track ID</key><integer>1002</integer></dict>\n"
        "\t\t\t\t<dict><key>Track ID</key><integer>1003</integer></dict>\n"
        "\t\t\t\t<dict><key>Track ID</key><integer>1004</integer></dict>\n"
        "\t\t\t\t<dict><key>Track ID</key><integer>1005</integer></dict>\n"
        "\t\t\t</array>\n\t\t</dict>\n\t\t<dict>\n"
        "\t\t\t<key>Name</key><string>Road Trip</string>\n"
        "\t\t\t<key>Playlist ID</key><integer>2001</integer>\n"
        "\t\t\t<key>Playlist Persistent ID</key><string>2A4B6C8D0E1F2A3B</string>\n"
        "\t\t\t<key>All Items</key><true/>\n\t\t\t<key>Playlist Items</key>\n\t\t\t<array>\n"
        "\t\t\t\t<dict><key>Track ID</key><integer>1002</integer></dict>\n"
        "\t\t\t</array>\n\t\t</dict>\n\t</array>\n</dict>\n</plist>\n";
    const auto library = makeLibrary(home, catalogue);
    ASSERT_EQ(library->files().size(), 5u);
    const auto pathOf = [&](std::size_t index) {
        return Path::localPath(trackAt(library, index)->url());
    };
    EXPECT_EQ(pathOf(0), opening);
    EXPECT_EQ(pathOf(1), encore);
    EXPECT_EQ(pathOf(2), cafe);
    EXPECT_EQ(pathOf(3), QStringLiteral("/Users/bob/Music/iTunes/iTunes Media/Music/Gone/01 Gone.m4a"));
    EXPECT_EQ(pathOf(4), QStringLiteral("/Users/bob/Downloads/loose.mp3"));
    ASSERT_EQ(library->folders().size(), 2u);
    EXPECT_EQ(library->folders()[1]->files()[0], library->files()[1]);

    // The playlists carry iTunes's persistent ids.
    const CatalogueContents contents = library->readCatalogue();
    ASSERT_EQ(contents.groups.size(), 2u);
    EXPECT_EQ(contents.groups[0].id, QStringLiteral("1F3C2A1B0E9D8C7B"));
    EXPECT_EQ(contents.groups[1].id, QStringLiteral("2A4B6C8D0E1F2A3B"));
}

} // namespace
