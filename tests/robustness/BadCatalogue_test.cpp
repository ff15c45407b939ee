#include "HostileHome.h"
#include "model/Photo.h"
#include "model/QVMedia.h"
#include "platform/catalogues/XmlPushParser.h"
#include "platform/media/FFmpegApi.h"
#include "platform/system/Path.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/local/LocalFolder.h"
#include "support/MediaFixtures.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using MediaFixtures::Fixture;

namespace {

const QString kIPhoto = QStringLiteral("Pictures/iPhoto Library/AlbumData.xml");
const QString kITunes = QStringLiteral("Music/iTunes/iTunes Music Library.xml");

QByteArray goodIPhoto() {
    return catalogue("<key>List of Albums</key><array><dict><key>AlbumName</key><string>Photos</string>"
                     "<key>Master</key><true/><key>KeyList</key><array><string>1</string></array></dict>"
                     "</array><key>Master Image List</key><dict><key>1</key><dict><key>Caption</key>"
                     "<string>One</string><key>ImagePath</key><string>/p/1.jpg</string></dict></dict>");
}

QByteArray goodITunes() {
    return catalogue("<key>Tracks</key><dict><key>1</key><dict><key>Name</key><string>One</string>"
                     "<key>Has Video</key><true/><key>Location</key><string>file:///m/1.mp4</string></dict>"
                     "</dict><key>Playlists</key><array><dict><key>Name</key><string>Library</string>"
                     "<key>Master</key><true/><key>Playlist Items</key><array><dict><key>Track ID</key>"
                     "<integer>1</integer></dict></array></dict></array>");
}

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One bad catalogue in a home that also has a good catalogue of the other
// library and a local folder in each tree: the bad one gives an empty
// library folder, quickly, and everything else loads as usual.
struct BadCatalogue {
    const char* name;
    std::function<void(const TempHome& home, const QString& relative)> make;
};

void PrintTo(const BadCatalogue& bad, std::ostream* out) {
    *out << bad.name;
}

class BadCatalogues : public HostileHome,
                      public ::testing::WithParamInterface<std::tuple<BadCatalogue, bool /* iPhoto */>> {};

TEST_P(BadCatalogues, GiveAnEmptyLibraryAndLeaveTheRestAlone) {
    const auto& [bad, iPhoto] = GetParam();
    MediaFixtures::copy(Fixture::Jpeg, _home.file(QStringLiteral("Pictures/Trip/beach.jpg")));
    MediaFixtures::copy(Fixture::UntaggedMp3, _home.file(QStringLiteral("Music/Band/song.mp3")));
    MediaFixtures::copy(Fixture::VideoOnlyMp4, _home.file(QStringLiteral("Movies/clip.mp4")));
    _home.writeFile(iPhoto ? kITunes : kIPhoto, iPhoto ? goodITunes() : goodIPhoto());
    bad.make(_home, iPhoto ? kIPhoto : kITunes);
    snapshot();

    QVMedia media;
    media.setPhotos(std::make_shared<MediaFolder>());
    media.setMusic(std::make_shared<MediaFolder>());
    media.setMovies(std::make_shared<MediaFolder>());
    Tally pictures;
    Tally music;
    Tally movies;
    // FFmpeg, opened with the first movie read, maps a hundred libraries:
    // their code is not memory the catalogue takes.
    ASSERT_NE(FFmpegApi::load(), nullptr);
    const long memoryBefore = peakMemoryKb();
    const qint64 elapsed = millisecondsOf([&] {
        media.awakeFromNib();
        pictures = loadEverything(media.photos());
        music = loadEverything(media.music());
        movies = loadEverything(media.movies());
    });
    EXPECT_LT(elapsed, kMainThreadBudgetMs);
    EXPECT_LT(peakMemoryKb() - memoryBefore, 64 * 1024) << "kilobytes more at the peak";

    // Each tree: the library folder (when its catalogue is there) then the local folder.
    ASSERT_EQ(media.photos()->folders().size(), 2u);
    ASSERT_EQ(media.music()->folders().size(), 2u);
    ASSERT_EQ(media.movies()->folders().size(), 2u);
    const MediaFolderPtr badLibrary = iPhoto ? media.photos()->folders()[0] : media.music()->folders()[0];
    EXPECT_TRUE(badLibrary->files().empty());
    EXPECT_TRUE(badLibrary->folders().empty());
    if (iPhoto) {
        EXPECT_EQ(pictures.items, 1);             // the local picture
        EXPECT_EQ(music.items + movies.items, 6); // the library track twice in each tree; local files
    } else {
        EXPECT_EQ(pictures.items, 3);             // library photo in the library and its album; local picture
        EXPECT_EQ(music.items + movies.items, 2); // the local track and movie
    }
    EXPECT_EQ(media.photos()->folders()[1]->folders()[0]->files().size(), 1u);
}

void write(const TempHome& home, const QString& relative, const QByteArray& bytes) {
    home.writeFile(relative, bytes);
}

const BadCatalogue kBadCatalogues[] = {
    {"Truncated",
     [](const TempHome& home, const QString& relative) {
         const QByteArray whole = relative == kIPhoto ? goodIPhoto() : goodITunes();
         write(home, relative, whole.left(whole.size() * 2 / 3));
     }},
    {"Garbage",
     [](const TempHome& home, const QString& relative) {
         QByteArray noise;
         for (int i = 0; i < 70000; ++i) {
             noise.append(static_cast<char>((i * 7919 + (i >> 3)) & 0xFF));
         }
         write(home, relative, noise);
     }},
    {"Empty",
     [](const TempHome& home, const QString& relative) {
         write(home, relative, {});
     }},
    {"Binary",
     [](const TempHome& home, const QString& relative) {
         write(home, relative,
               QByteArray("bplist00\xD1\x01\x02TKeysUValue\x08\x0B\x10\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x03"
                          "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x16",
                          50));
     }},
    {"OneGigabyteOfZeroesAfterAGoodStart",
     // A sparse file: a catalogue that starts well, then a gigabyte that
     // takes no disk space.
     [](const TempHome& home, const QString& relative) {
         const QByteArray start = catalogue("<key>Tracks</key><dict><key>1</key><dict><key>Name</key>");
         const QString path = home.writeFile(relative, start.left(start.indexOf("</dict>")));
         ASSERT_EQ(truncate(Path::toNative(path).constData(), 1LL << 30), 0);
     }},
    {"NestedTwoHundredThousandArraysDeep",
     [](const TempHome& home, const QString& relative) {
         write(home, relative,
               catalogue("<key>Tracks</key>" + QByteArray("<array>").repeated(200000) +
                         QByteArray("</array>").repeated(200000)));
     }},
    {"Directory",
     [](const TempHome& home, const QString& relative) {
         home.makeDirectory(relative);
     }},
    {"Fifo",
     [](const TempHome& home, const QString& relative) {
         home.makeDirectory(QFileInfo(relative).path());
         ASSERT_EQ(mkfifo(Path::toNative(home.file(relative)).constData(), 0600), 0);
     }},
    {"EntitiesThatExpandAThousandMillionTimes",
     [](const TempHome& home, const QString& relative) {
         QByteArray declarations = "<!ENTITY e0 \"lol\">";
         for (int i = 1; i < 10; ++i) {
             declarations += "<!ENTITY e" + QByteArray::number(i) + " \"" +
                             ("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
         }
         write(home, relative,
               "<?xml version=\"1.0\"?><!DOCTYPE plist [" + declarations +
                   "]><plist><dict><key>Tracks</key><string>&e9;</string></dict></plist>");
     }},
};

std::string rowName(const ::testing::TestParamInfo<BadCatalogues::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "IPhoto" : "ITunes");
}

INSTANTIATE_TEST_SUITE_P(Catalogues, BadCatalogues,
                         ::testing::Combine(::testing::ValuesIn(kBadCatalogues), ::testing::Bool()), rowName);

} // namespace

namespace {

class ByteOrderMarks : public HostileHome {};

// A catalogue that starts with a byte-order mark, in UTF-8 or either order of
// UTF-16, reads like any other.
TEST_F(ByteOrderMarks, AreReadInEveryEncoding) {
    QByteArray utf16 = goodITunes();
    utf16.replace("encoding=\"UTF-8\"", "encoding=\"UTF-16\"");
    const QString text = QString::fromUtf8(utf16);
    QByteArray little("\xFF\xFE");
    QByteArray big("\xFE\xFF");
    for (const QChar c : text) {
        little.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
        big.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode() & 0xFF));
    }
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {{"UTF-8", "\xEF\xBB\xBF" + goodITunes()}, {"UTF-16LE", little}, {"UTF-16BE", big}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        const QString path = _home.writeFile(QStringLiteral("library.xml"), file.bytes);
        snapshot();
        auto folder = std::make_shared<ITunesFolder>(QStringLiteral("iTunes"), path, true, false);
        ASSERT_EQ(folder->files().size(), 1u);
        EXPECT_EQ(folder->files()[0]->name(), QStringLiteral("One"));
    }
}

} // namespace

namespace {

class BadBytes : public HostileHome {};

// Bytes that real exports carry and strict XML rejects: each record keeps its
// place; an emoji written as two surrogate references becomes itself; lone
// surrogates, NULs and control characters go; bytes that are not UTF-8 read
// as U+FFFD. Both catalogues, read through the roots as the browser reads them.
TEST_F(BadBytes, InRecordsLoseNoRecord) {
    const QByteArray names[] = {
        "Smile &#55357;&#56842; and &#xD83C;&#xDF89;", // two emoji in decimal and hex references
        "Tab\x04Stop\x1F",                             // raw controls, as tags leave them
        "Nul&#0;&#x1;Byte",                            // references to controls
        "Lone &#55357; high, lone &#56842; low",
        "Latin \xE9t\xE9 \xC3",         // ISO-8859-1 bytes and a cut sequence
        "Surrogate \xED\xA0\xBD bytes", // a surrogate written in UTF-8
        "Fine \xC3\xA9t\xC3\xA9",
    };
    const QString expected[] = {
        QStringLiteral("Smile \U0001F60A and \U0001F389"),
        QStringLiteral("TabStop"),
        QStringLiteral("NulByte"),
        QStringLiteral("Lone  high, lone  low"),
        QStringLiteral("Latin \uFFFDt\uFFFD \uFFFD"),
        QStringLiteral("Surrogate \uFFFD\uFFFD\uFFFD bytes"),
        QStringLiteral("Fine \u00E9t\u00E9"),
    };
    QByteArray photos;
    QByteArray keys;
    QByteArray tracks;
    QByteArray items;
    for (int i = 0; i < 7; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        photos += "<key>" + n + "</key><dict><key>Caption</key><string>" + names[i] +
                  "</string><key>ImagePath</key><string>/p/" + n + ".jpg</string></dict>";
        keys += "<string>" + n + "</string>";
        tracks += "<key>" + n + "</key><dict><key>Track ID</key><integer>" + n +
                  "</integer><key>Name</key><string>" + names[i] +
                  "</string><key>Location</key><string>file:///m/" + n + ".mp3</string></dict>";
        items += "<dict><key>Track ID</key><integer>" + n + "</integer></dict>";
    }
    _home.writeFile(kIPhoto, catalogue("<key>List of Albums</key><array><dict><key>AlbumName</key><string>"
                                       "Photos &#55357;&#56846;</string><key>Master</key><true/><key>KeyList"
                                       "</key><array>" +
                                       keys +
                                       "</array></dict></array><key>Master Image "
                                       "List</key><dict>" +
                                       photos + "</dict>"));
    _home.writeFile(kITunes, catalogue("<key>Tracks</key><dict>" + tracks +
                                       "</dict><key>Playlists</key><array>"
                                       "<dict><key>Name</key><string>Library</string><key>Master</key><true/>"
                                       "<key>Playlist Items</key><array>" +
                                       items + "</array></dict></array>"));
    snapshot();
    QVMedia media;
    media.setPhotos(std::make_shared<MediaFolder>());
    media.setMusic(std::make_shared<MediaFolder>());
    media.awakeFromNib();
    const MediaFolderPtr iPhoto = media.photos()->folders().at(0);
    const MediaFolderPtr iTunes = media.music()->folders().at(0);
    ASSERT_EQ(iPhoto->files().size(), 7u);
    ASSERT_EQ(iTunes->files().size(), 7u);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(iPhoto->files()[static_cast<std::size_t>(i)]->name(), expected[i]);
        EXPECT_EQ(iTunes->files()[static_cast<std::size_t>(i)]->name(), expected[i]);
    }
    ASSERT_EQ(iPhoto->folders().size(), 1u);
    EXPECT_EQ(iPhoto->folders()[0]->name(), QStringLiteral("Photos \U0001F60E"));
    EXPECT_EQ(iPhoto->folders()[0]->files().size(), 7u);
}

} // namespace

namespace {

class HugeText : public HostileHome {};

// A catalogue whose first track is named by 16 megabytes of text, twice what
// is kept: read within the time and memory budgets, the name cut short, every
// track kept.
TEST_F(HugeText, IsCutShortAndItsRecordKept) {
    const QString path = _home.writeFile(kITunes);
    {
        // Written in pieces, so that the test itself holds no such text.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray whole = catalogue("<key>Tracks</key><dict><key>1</key><dict><key>Name</key><string>"
                                           "@</string></dict><key>2</key><dict><key>Name</key><string>Two"
                                           "</string></dict></dict><key>Playlists</key><array><dict><key>Name"
                                           "</key><string>Library</string><key>Master</key><true/><key>"
                                           "Playlist Items</key><array><dict><key>Track ID</key><integer>1"
                                           "</integer></dict><dict><key>Track ID</key><integer>2</integer>"
                                           "</dict></array></dict></array>");
        const qsizetype at = whole.indexOf('@');
        file.write(whole.left(at));
        const QByteArray piece(1024 * 1024, 'a');
        for (int i = 0; i < 16; ++i) {
            file.write(piece);
        }
        file.write(whole.mid(at + 1));
    }
    snapshot();
    [[maybe_unused]] const long memoryBefore = peakMemoryKb();
    ITunesFolderPtr library;
    const qint64 elapsed = millisecondsOf([&] {
        library = ITunesFolder::create(QStringLiteral("iTunes"), path, true, false);
        loadEverything(library);
    });
    EXPECT_LT(elapsed, kMainThreadBudgetMs);
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer holds freed blocks back for a while: the peak is then its, not the reader's.
    EXPECT_LT(peakMemoryKb() - memoryBefore, 64 * 1024) << "kilobytes more at the peak";
#endif
    ASSERT_EQ(library->files().size(), 2u);
    EXPECT_EQ(library->files()[0]->name().size(),
              static_cast<qsizetype>(XmlPushParser::Limits().maxTextLength));
    EXPECT_EQ(library->files()[1]->name(), QStringLiteral("Two"));
}

} // namespace
