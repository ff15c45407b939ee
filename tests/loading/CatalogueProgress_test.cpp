#include "platform/system/LoadProgress.h"
#include "sources/catalogues/DigikamReader.h"
#include "sources/catalogues/IPhotoReader.h"
#include "sources/catalogues/ITunesReader.h"
#include "sources/catalogues/RhythmboxReader.h"
#include "sources/catalogues/ShotwellReader.h"
#include "sources/catalogues/StrawberryReader.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int kRows = 20000;   // database rows: many progress steps
constexpr int kRecords = 6000; // XML records: several chunks of the file

// What a reader tells its load; gives the load up once it got as far as
// cancelAt.
class RecordingProgress : public LoadProgress {
public:
    explicit RecordingProgress(double cancelAt = 2.0)
        : _cancelAt(cancelAt) {}

    void setFraction(double fraction) override {
        (_cancelled ? afterCancel : fractions).push_back(fraction);
        _cancelled = _cancelled || fraction >= _cancelAt;
    }
    bool isCancelled() const override { return _cancelled; }

    std::vector<double> fractions;
    std::vector<double> afterCancel;

private:
    double _cancelAt;
    bool _cancelled = false;
};

struct Kind {
    const char* name;
    // Lays out a catalogue of `items` items in home and answers its reader.
    std::function<std::function<CatalogueContents(LoadProgress&)>(const TempHome& home)> make;
    std::size_t items;
};

QString rows(int count) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ")
        .arg(count);
}

QByteArray plist(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + body +
           "</dict>\n</plist>\n";
}

const Kind kKinds[] = {
    {"Shotwell",
     [](const TempHome& home) {
         const QString database = home.file(QStringLiteral("photo.db"));
         SqliteFixture::execute(database,
                                QStringLiteral("CREATE TABLE PhotoTable (id INTEGER PRIMARY KEY, "
                                               "filename TEXT, exposure_time INTEGER, flags INTEGER);") +
                                    rows(kRows) +
                                    "INSERT INTO PhotoTable SELECT i, '/p/' || i || '.jpg', "
                                    "i % 977, 0 FROM n;");
         return [database](LoadProgress& progress) {
             return ShotwellReader(database, {}, ShotwellReader::Media::Photos).read(progress);
         };
     },
     kRows},
    {"digiKam",
     [](const TempHome& home) {
         const QString database = home.file(QStringLiteral("digikam4.db"));
         SqliteFixture::execute(
             database,
             QStringLiteral("CREATE TABLE AlbumRoots (id INTEGER PRIMARY KEY, label TEXT, "
                            "identifier TEXT, specificPath TEXT);"
                            "CREATE TABLE Albums (id INTEGER PRIMARY KEY, albumRoot INTEGER, "
                            "relativePath TEXT);"
                            "CREATE TABLE Images (id INTEGER PRIMARY KEY, album INTEGER, name TEXT, "
                            "status INTEGER, category INTEGER);"
                            "INSERT INTO AlbumRoots VALUES (1, 'Pictures', 'volumeid:?path=/p', '/');"
                            "INSERT INTO Albums VALUES (1, 1, '/2026');") +
                 rows(kRows) + "INSERT INTO Images SELECT i, 1, 'IMG_' || i || '.jpg', 1, 1 FROM n;");
         return [database](LoadProgress& progress) {
             return DigikamReader(database, DigikamReader::Media::Pictures).read(progress);
         };
     },
     kRows},
    {"Strawberry",
     [](const TempHome& home) {
         const QString database = home.file(QStringLiteral("strawberry.db"));
         SqliteFixture::execute(database,
                                QStringLiteral("CREATE TABLE songs (title TEXT, artist TEXT, length INTEGER, "
                                               "url TEXT, unavailable INTEGER);"
                                               "CREATE TABLE playlists (name TEXT);"
                                               "CREATE TABLE playlist_items (playlist INTEGER, type INTEGER, "
                                               "collection_id INTEGER);"
                                               "INSERT INTO playlists VALUES ('All');") +
                                    rows(kRows) +
                                    "INSERT INTO songs SELECT 'Song ' || i, 'Artist', 1000000000, "
                                    "'file:///m/' || i || '.flac', 0 FROM n;" +
                                    rows(kRows) + "INSERT INTO playlist_items SELECT 1, 2, i FROM n;");
         return [database](LoadProgress& progress) {
             return StrawberryReader(database, StrawberryReader::Media::Music).read(progress);
         };
     },
     kRows},
    {"Rhythmbox",
     [](const TempHome& home) {
         QByteArray entries;
         for (int i = 0; i < kRecords; ++i) {
             const QByteArray n = QByteArray::number(i);
             entries += "  <entry type=\"song\">\n    <title>Song " + n +
                        "</title>\n    <artist>Artist</artist>\n    <album>Album</album>\n"
                        "    <duration>100</duration>\n    <location>file:///music/Song%20" +
                        n + ".ogg</location>\n    <media-type>audio/x-vorbis</media-type>\n  </entry>\n";
         }
         const QString database =
             home.writeFile(QStringLiteral("rhythmdb.xml"),
                            "<?xml version=\"1.0\" standalone=\"yes\"?>\n<rhythmdb version=\"2.0\">\n" +
                                entries + "</rhythmdb>\n");
         const QString playlists = home.writeFile(QStringLiteral("playlists.xml"),
                                                  "<?xml version=\"1.0\"?>\n<rhythmdb-playlists/>\n");
         return [database, playlists](LoadProgress& progress) {
             return RhythmboxReader(database, playlists).read(progress);
         };
     },
     kRecords},
    {"iTunes",
     [](const TempHome& home) {
         QByteArray tracks;
         QByteArray items;
         for (int i = 1; i <= kRecords; ++i) {
             const QByteArray n = QByteArray::number(i);
             tracks += "<key>" + n + "</key><dict><key>Track ID</key><integer>" + n +
                       "</integer><key>Name</key><string>Track " + n +
                       "</string><key>Location</key><string>file://localhost/Music/t" + n +
                       ".mp3</string></dict>\n";
             items += "<dict><key>Track ID</key><integer>" + n + "</integer></dict>";
         }
         const QString file = home.writeFile(
             QStringLiteral("iTunes Music Library.xml"),
             plist("<key>Tracks</key><dict>\n" + tracks +
                   "</dict><key>Playlists</key><array><dict><key>Name</key><string>Library</string>"
                   "<key>Master</key><true/><key>Playlist Items</key><array>" +
                   items + "</array></dict></array>\n"));
         return [file](LoadProgress& progress) {
             return ITunesReader(file, true, false).read(progress);
         };
     },
     kRecords},
    {"iPhoto",
     [](const TempHome& home) {
         QByteArray photos;
         QByteArray keys;
         for (int i = 1; i <= kRecords; ++i) {
             const QByteArray n = QByteArray::number(i);
             photos += "<key>" + n + "</key><dict><key>Caption</key><string>Photo " + n +
                       "</string><key>ImagePath</key><string>/Pictures/Originals/" + n +
                       ".jpg</string><key>ThumbPath</key><string>/Pictures/Thumbs/" + n +
                       ".jpg</string></dict>\n";
             keys += "<string>" + n + "</string>";
         }
         const QString file = home.writeFile(
             QStringLiteral("AlbumData.xml"),
             plist("<key>List of Albums</key><array><dict><key>AlbumName</key><string>Photos</string>"
                   "<key>Master</key><true/><key>KeyList</key><array>" +
                   keys + "</array></dict></array><key>Master Image List</key><dict>\n" + photos +
                   "</dict>\n"));
         return [file](LoadProgress& progress) {
             return IPhotoReader(file).read(progress);
         };
     },
     kRecords},
};

class CatalogueProgress : public ::testing::TestWithParam<Kind> {};

// Every catalogue tells the window how far it has read, step by step, and a
// load that nobody wants any more stops where it is instead of reading on.
TEST_P(CatalogueProgress, IsToldAsItReadsAndALoadGivenUpStops) {
    TempHome home;
    const auto read = GetParam().make(home);

    RecordingProgress whole;
    const CatalogueContents contents = read(whole);
    EXPECT_FALSE(contents.failed);
    EXPECT_EQ(contents.items.size(), GetParam().items);
    EXPECT_TRUE(std::is_sorted(whole.fractions.begin(), whole.fractions.end()));
    const auto between = std::count_if(whole.fractions.begin(), whole.fractions.end(),
                                       [](double fraction) { return fraction > 0.05 && fraction < 0.9; });
    EXPECT_GE(between, 3) << "too few steps between the ends were told";

    RecordingProgress givenUp(0.3);
    const CatalogueContents partial = read(givenUp);
    EXPECT_TRUE(partial.failed) << "a load given up is no complete catalogue";
    EXPECT_LT(partial.items.size(), GetParam().items);
    for (const double fraction : givenUp.afterCancel) {
        EXPECT_LT(fraction, 0.6) << "read on after it was given up";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, CatalogueProgress, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                             return std::string(info.param.name) == "digiKam" ? std::string("Digikam")
                                                                              : std::string(info.param.name);
                         });

} // namespace
