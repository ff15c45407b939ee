#include "model/QVMedia.h"
#include "model/QVTrack.h"
#include "platform/system/LoadProgress.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/RhythmboxFolder.h"
#include "sources/catalogues/RhythmboxReader.h"
#include "support/MediaRoots.h"
#include "support/TempHome.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

CatalogueContents read(const QString& database, const QString& playlists) {
    LoadProgress unobserved;
    return RhythmboxReader(database, playlists).read(unobserved);
}

// An entry as Rhythmbox writes it (every field it keeps for a song).
QByteArray song(const QByteArray& title, const QByteArray& artist, int duration, const QByteArray& location,
                const QByteArray& extra = {}) {
    return "  <entry type=\"song\">\n    <title>" + title +
           "</title>\n    <genre>Ambient</genre>\n    <artist>" + artist +
           "</artist>\n    <album>Demo Sessions</album>\n    <track-number>1</track-number>\n" +
           "    <duration>" + QByteArray::number(duration) +
           "</duration>\n    <file-size>3441920</file-size>\n" + "    <location>" + location +
           "</location>\n    <mtime>1767225600</mtime>\n" +
           "    <first-seen>1767225600</first-seen>\n    <last-seen>1767268800</last-seen>\n" +
           "    <bitrate>128</bitrate>\n    <date>739252</date>\n    <media-type>audio/mpeg</media-type>\n" +
           extra + "  </entry>\n";
}

QByteArray database(const QByteArray& music) {
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\n<rhythmdb version=\"2.0\">\n"
           "  <entry type=\"iradio\">\n    <title>Radio Demo</title>\n    <genre>Eclectic</genre>\n"
           "    <location>http://radio.example.org/stream-192</location>\n    <play-count>3</play-count>\n"
           "    <media-type>application/octet-stream</media-type>\n  </entry>\n" +
           song("Morning Tone", "Demo Artist", 215, "file://" + music + "/Morning%20Tone.mp3") +
           song("Rock &amp; Roll", "The &lt;Demo&gt; Band", 61,
                "file://localhost" + music + "/Rock%20%26%20Roll.ogg") +
           // A file that has gone: Rhythmbox marks it hidden, the browser lists it.
           song("Gone Song", "Demo Artist", 30, "file://" + music + "/Gone.mp3", "    <hidden>1</hidden>\n") +
           "  <entry type=\"podcast-feed\">\n    <title>Demo Show</title>\n"
           "    <location>https://podcast.example.org/feed.xml</location>\n  </entry>\n"
           "  <entry type=\"podcast-post\">\n    <title>Episode 2</title>\n    <artist>Demo Show</artist>\n"
           "    <duration>1800</duration>\n    <location>https://podcast.example.org/ep2.mp3</location>\n"
           "    <mountpoint>file://" +
           music +
           "/Podcasts/ep2.mp3</mountpoint>\n  </entry>\n"
           "  <entry type=\"podcast-post\">\n    <title>Episode 3</title>\n"
           "    <location>https://podcast.example.org/ep3.mp3</location>\n  </entry>\n"
           "  <entry type=\"ignore\">\n    <title></title>\n    <location>file://" +
           music + "/cover.jpg</location>\n  </entry>\n</rhythmdb>\n";
}

QByteArray playlists(const QByteArray& music) {
    return "<?xml version=\"1.0\"?>\n<rhythmdb-playlists>\n"
           "  <playlist name=\"My top rated\" show-browser=\"true\" browser-position=\"180\" "
           "search-type=\"search-match\" type=\"automatic\" sort-key=\"Rating\" sort-direction=\"1\">\n"
           "    <conjunction>\n      <subquery>\n        <conjunction>\n"
           "          <equals prop=\"type\">song</equals>\n        </conjunction>\n      </subquery>\n"
           "      <greater prop=\"rating\">4</greater>\n    </conjunction>\n  </playlist>\n"
           "  <playlist name=\"Road Trip\" show-browser=\"false\" browser-position=\"180\" "
           "search-type=\"search-match\" type=\"static\">\n"
           "    <location>file://localhost" +
           music + "/Rock%20%26%20Roll.ogg</location>\n    <location>file://" + music +
           "/Unknown.mp3</location>\n    <location>file://" + music +
           "/Morning%20Tone.mp3</location>\n  </playlist>\n"
           "  <playlist name=\"Empty\" show-browser=\"false\" browser-position=\"180\" "
           "search-type=\"search-match\" type=\"static\"/>\n"
           "  <playlist name=\"Play Queue\" show-browser=\"false\" browser-position=\"180\" "
           "search-type=\"search-match\" type=\"queue\">\n    <location>file://" +
           music + "/Morning%20Tone.mp3</location>\n  </playlist>\n</rhythmdb-playlists>\n";
}

QStringList describe(const std::vector<MediaItemPtr>& items) {
    QStringList result;
    for (const MediaItemPtr& item : items) {
        auto track = std::dynamic_pointer_cast<QVTrack>(item);
        result << QStringLiteral("%1|%2|%3|%4")
                      .arg(track->name(), track->artist())
                      .arg(track->length())
                      .arg(Path::localPath(track->url()));
    }
    return result;
}

TEST(RhythmboxFolder, ShowsSongsAndStaticPlaylistsInTheMusicTree) {
    TempHome home;
    UserPreferences::sharedPreferences()->setMusicPaths({});
    const QByteArray music = QFile::encodeName(home.file(QStringLiteral("Music")));
    home.writeFile(QStringLiteral(".local/share/rhythmbox/rhythmdb.xml"), database(music));
    home.writeFile(QStringLiteral(".local/share/rhythmbox/playlists.xml"), playlists(music));

    MediaRoots roots;
    auto& [photos, root, movies, media] = roots;

    ASSERT_EQ(root->folders().size(), 1u);
    const MediaFolderPtr library = root->folders().front();
    EXPECT_EQ(library->name(), QStringLiteral("Rhythmbox"));
    EXPECT_FALSE(library->isLoaded());
    const QString dir = home.file(QStringLiteral("Music"));
    // Radio, a feed, an episode never downloaded and ignored files are no tracks.
    EXPECT_EQ(describe(library->files()),
              (QStringList{"Morning Tone|Demo Artist|215|" + dir + "/Morning Tone.mp3",
                           "Rock & Roll|The <Demo> Band|61|" + dir + "/Rock & Roll.ogg",
                           "Gone Song|Demo Artist|30|" + dir + "/Gone.mp3",
                           "Episode 2|Demo Show|1800|" + dir + "/Podcasts/ep2.mp3"}));
    ASSERT_EQ(library->folders().size(), 2u);
    EXPECT_EQ(library->folders()[0]->name(), QStringLiteral("Road Trip"));
    EXPECT_EQ(library->folders()[0]->files(),
              (std::vector<MediaItemPtr>{library->files()[1], library->files()[0]}));
    EXPECT_EQ(library->folders()[1]->name(), QStringLiteral("Empty"));
    EXPECT_TRUE(photos->folders().empty());
    EXPECT_TRUE(movies->folders().empty());
}

TEST(RhythmboxFolder, KeepsTheEntriesBeforeABreakAndNeverExpandsEntities) {
    TempHome home;
    // A byte that is not UTF-8, a raw control character and a reference to
    // one (as tag editors leave them) cost those characters, not the entries after them.
    const QString bad =
        home.writeFile(QStringLiteral("bad.xml"),
                       "<?xml version=\"1.0\" standalone=\"yes\"?>\n<rhythmdb version=\"2.0\">\n" +
                           song("Caf\xE9 \xF0\x9F\x8E\xB5",
                                "A\x04"
                                "B&#x4;C&#0;",
                                1, "file:///m/1.mp3") +
                           song("Next", "Artist", 2, "file:///m/2.mp3") + "</rhythmdb>\n");
    const CatalogueContents cleaned = read(bad, {});
    ASSERT_EQ(cleaned.items.size(), 2u);
    EXPECT_EQ(cleaned.items[0]->name(), QStringLiteral("Caf\uFFFD \U0001F3B5"));
    EXPECT_EQ(std::dynamic_pointer_cast<QVTrack>(cleaned.items[0])->artist(), QStringLiteral("ABC"));
    EXPECT_EQ(cleaned.items[1]->name(), QStringLiteral("Next"));

    const QByteArray full = database("/music");
    const QString truncated = home.writeFile(QStringLiteral("cut.xml"), full.left(full.indexOf("Gone Song")));
    EXPECT_EQ(read(truncated, {}).items.size(), 2u);

    // A thousand million expansions if entities were expanded; one entry before them.
    QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE rhythmdb [\n<!ENTITY a \"aaaaaaaaaa\">\n";
    for (char c = 'b'; c <= 'j'; ++c) {
        bomb += "<!ENTITY " + QByteArray(1, c) + " \"" +
                QByteArray(10, '&').replace("&", "&" + QByteArray(1, char(c - 1)) + ";") + "\">\n";
    }
    bomb += "]>\n<rhythmdb version=\"2.0\">\n" + song("First", "A", 1, "file:///music/first.mp3") +
            song("&j;", "B", 2, "file:///music/bomb.mp3") + "</rhythmdb>\n";
    const QString bombPath = home.writeFile(QStringLiteral("bomb.xml"), bomb);
    const CatalogueContents contents = read(bombPath, {});
    ASSERT_GE(contents.items.size(), 1u);
    EXPECT_EQ(contents.items[0]->name(), QStringLiteral("First"));
    for (const MediaItemPtr& item : contents.items) {
        EXPECT_LT(item->name().size(), 100);
    }
}

// A song with the fields automatic playlists look at.
QByteArray taggedSong(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                      const QByteArray& genre) {
    return "  <entry type=\"song\">\n    <title>" + title + "</title>\n    <genre>" + genre +
           "</genre>\n    <artist>" + artist + "</artist>\n    <album>" + album +
           "</album>\n    <duration>100</duration>\n    <location>file:///music/" + title +
           ".ogg</location>\n    <media-type>audio/x-vorbis</media-type>\n  </entry>\n";
}

// An automatic playlist as Rhythmbox saves one: its songs-only subquery, then the criteria.
QByteArray automaticPlaylist(const QByteArray& name, const QByteArray& criteria,
                             const QByteArray& attributes = {}, bool songsOnly = true) {
    return "  <playlist name=\"" + name +
           "\" show-browser=\"true\" browser-position=\"180\" search-type=\"search-match\" "
           "type=\"automatic\"" +
           attributes + ">\n    <conjunction>\n" +
           (songsOnly ? QByteArray("      <subquery>\n        <conjunction>\n          <equals "
                                   "prop=\"type\">song</equals>\n        </conjunction>\n      </subquery>\n")
                      : QByteArray()) +
           criteria + "    </conjunction>\n  </playlist>\n";
}

TEST(RhythmboxFolder, AnswersSimpleAutomaticPlaylistsAndLeavesOutTheOthers) {
    TempHome home;
    const QString database = home.writeFile(
        QStringLiteral("rhythmdb.xml"),
        "<?xml version=\"1.0\" standalone=\"yes\"?>\n<rhythmdb version=\"2.0\">\n" +
            taggedSong("So What", "Miles Davis", "Kind of Blue", "Jazz") +
            taggedSong("Help", "The Beatles", "Help!", "Rock") +
            taggedSong("Blue in Green", "Miles Davis", "Kind of Blue", "Jazz") +
            taggedSong("Anna", "The Beatles", "Please Please Me", "Rock") +
            taggedSong("Milestones", "Miles Davis Sextet", "Milestones", "Jazz") +
            taggedSong("Yesterday", "The Beatles", "Help!", "Rock") +
            "  <entry type=\"podcast-post\">\n    <title>Episode 1</title>\n    <genre>Jazz</genre>\n"
            "    <location>https://podcast.example.org/ep1.mp3</location>\n"
            "    <mountpoint>file:///music/ep1.mp3</mountpoint>\n  </entry>\n</rhythmdb>\n");
    const QString playlists = home.writeFile(
        QStringLiteral("playlists.xml"),
        "<?xml version=\"1.0\"?>\n<rhythmdb-playlists>\n" +
            automaticPlaylist("Miles", "      <equals prop=\"genre\">Jazz</equals>\n"
                                       "      <like prop=\"artist-folded\">miles davis</like>\n"
                                       "      <equals prop=\"album\">Kind of Blue</equals>\n") +
            automaticPlaylist("Two Beatles", "      <like prop=\"artist-folded\">BEATLES</like>\n",
                              " sort-key=\"Title\" sort-direction=\"0\" limit-count=\"2\"") +
            automaticPlaylist("Top rated", "      <greater prop=\"rating\">4</greater>\n") +
            automaticPlaylist("Either", "      <equals prop=\"genre\">Jazz</equals>\n      <disjunction/>\n"
                                        "      <equals prop=\"genre\">Rock</equals>\n") +
            automaticPlaylist("Most played", "      <equals prop=\"genre\">Rock</equals>\n",
                              " sort-key=\"PlayCount\" sort-direction=\"1\" limit-count=\"1\"") +
            automaticPlaylist("An hour", "      <equals prop=\"genre\">Rock</equals>\n",
                              " limit-time=\"3600\"") +
            automaticPlaylist("Jazz episodes",
                              "      <equals prop=\"type\">podcast-post</equals>\n"
                              "      <equals prop=\"genre-folded\">jazz</equals>\n",
                              {}, false) +
            "</rhythmdb-playlists>\n");

    const CatalogueContents contents = read(database, playlists);
    ASSERT_EQ(contents.items.size(), 7u);
    QStringList shown;
    for (const CatalogueGroup& group : contents.groups) {
        QStringList names;
        for (const MediaItemPtr& item : group.items) {
            names << item->name();
        }
        shown << group.name + QStringLiteral(": ") + names.join(QStringLiteral(", "));
        EXPECT_EQ(group.kind, CatalogueGroup::Kind::SmartPlaylist);
    }
    // Conditions joined by "and" in the library's order; a limit by count
    // after the order asked for; episodes by their kind. Queries on ratings,
    // with "or", or limited in an order or a measure not followed here are left out.
    EXPECT_EQ(shown, (QStringList{"Miles: So What, Blue in Green", "Two Beatles: Anna, Help",
                                  "Jazz episodes: Episode 1"}));
    // The playlists share the library's items.
    EXPECT_EQ(contents.groups[0].items[0], contents.items[0]);
}

// Rhythmbox compares "-folded" criteria on text folded its own way, which
// drops accents and punctuation: what it lists, the browser lists.
TEST(RhythmboxFolder, FoldsCriteriaAsRhythmboxDoes) {
    TempHome home;
    const QString database = home.writeFile(
        QStringLiteral("rhythmdb.xml"),
        "<?xml version=\"1.0\" standalone=\"yes\"?>\n<rhythmdb version=\"2.0\">\n" +
            taggedSong("Crazy in Love", "Beyonc\xC3\xA9", "Dangerously in Love", "R&amp;B") +
            taggedSong("D\xC3\xA9j\xC3\xA0 Vu", "Beyonce\xCC\x81 feat. Jay-Z", "B'Day", "R&amp;B") +
            taggedSong("Halo", "Bey Once", "I Am... Sasha Fierce", "Pop") + "</rhythmdb>\n");
    const QString playlists = home.writeFile(
        QStringLiteral("playlists.xml"),
        "<?xml version=\"1.0\"?>\n<rhythmdb-playlists>\n" +
            automaticPlaylist("Queen B", "      <like prop=\"artist-folded\">beyonce</like>\n") +
            automaticPlaylist("Deja", "      <equals prop=\"title-folded\">DEJA VU</equals>\n") +
            automaticPlaylist("Sasha", "      <equals prop=\"album-folded\">i am sasha fierce</equals>\n") +
            automaticPlaylist("RnB", "      <equals prop=\"genre-folded\">rb</equals>\n") +
            "</rhythmdb-playlists>\n");

    const CatalogueContents contents = read(database, playlists);
    QStringList shown;
    for (const CatalogueGroup& group : contents.groups) {
        QStringList names;
        for (const MediaItemPtr& item : group.items) {
            names << item->name();
        }
        shown << group.name + QStringLiteral(": ") + names.join(QStringLiteral(", "));
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Queen B: Crazy in Love, D\u00e9j\u00e0 Vu"),
                                  QStringLiteral("Deja: D\u00e9j\u00e0 Vu"), QStringLiteral("Sasha: Halo"),
                                  QStringLiteral("RnB: Crazy in Love, D\u00e9j\u00e0 Vu")}));
}

} // namespace
