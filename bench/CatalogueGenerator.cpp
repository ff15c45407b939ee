#include "bench/CatalogueGenerator.h"

#include <QByteArray>
#include <QFile>

#include <vector>

namespace CatalogueGenerator {

namespace {

// splitmix64: small, fast and the same on every machine.
class Random {
public:
    explicit Random(quint64 seed)
        : _state(seed) {}
    quint64 next() {
        quint64 z = (_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<quint64>(n)); }
    bool chance(int percent) { return below(1000) < percent * 10; }
    bool permille(int perMille) { return below(1000) < perMille; }

private:
    quint64 _state;
};

// Writes through a buffer flushed in large blocks.
class Writer {
public:
    explicit Writer(const QString& path)
        : _file(path) {
        _ok = _file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        _buffer.reserve(kBlock + 4096);
    }
    ~Writer() { finish(); }
    Writer& operator<<(const QByteArray& text) {
        _buffer += text;
        flushIfFull();
        return *this;
    }
    Writer& operator<<(const char* text) {
        _buffer += text;
        flushIfFull();
        return *this;
    }
    bool finish() {
        if (_ok && !_buffer.isEmpty()) {
            _ok = _file.write(_buffer) == _buffer.size();
            _buffer.clear();
        }
        _file.close();
        return _ok;
    }

private:
    static constexpr qsizetype kBlock = 1 << 20;
    void flushIfFull() {
        if (_buffer.size() >= kBlock) {
            _ok = _ok && _file.write(_buffer) == _buffer.size();
            _buffer.clear();
        }
    }
    QFile _file;
    QByteArray _buffer;
    bool _ok = false;
};

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\">\n<dict>\n";
const QByteArray kFooter = "</dict>\n</plist>\n";

// Text as the exports escape it: "&" and "<" as numeric references.
QByteArray escaped(const QByteArray& text) {
    QByteArray out = text;
    out.replace("&", "&#38;").replace("<", "&#60;").replace(">", "&#62;");
    return out;
}

QByteArray key(const char* indent, const char* name) {
    return QByteArray(indent) + "<key>" + name + "</key>";
}
QByteArray stringEntry(const char* indent, const char* name, const QByteArray& value) {
    return key(indent, name) + "<string>" + escaped(value) + "</string>\n";
}
QByteArray integerEntry(const char* indent, const char* name, qint64 value) {
    return key(indent, name) + "<integer>" + QByteArray::number(value) + "</integer>\n";
}
QByteArray realEntry(const char* indent, const char* name, double value) {
    return key(indent, name) + "<real>" + QByteArray::number(value, 'f', 6) + "</real>\n";
}
QByteArray trueEntry(const char* indent, const char* name) {
    return key(indent, name) + "<true/>\n";
}
QByteArray dateEntry(const char* indent, const char* name, Random& random) {
    const int year = 2003 + random.below(6);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, 1 + random.below(12),
                  1 + random.below(28), random.below(24), random.below(60), random.below(60));
    return key(indent, name) + "<date>" + text + "</date>\n";
}
QByteArray persistentId(Random& random) {
    return QByteArray::number(random.next() | 0x8000000000000000ULL, 16).toUpper();
}

// Words for names, some with accents (stored decomposed in some names, as a
// Mac file system spells them).
const char* const kWords[] = {"Blue",
                              "Night",
                              "River",
                              "Golden",
                              "Echo",
                              "Winter",
                              "Stone",
                              "Velvet",
                              "Summer",
                              "Paper",
                              "Silver",
                              "Ocean",
                              "Hollow",
                              "Crimson",
                              "Little",
                              "Electric",
                              "Garden",
                              "Morning",
                              "Shadow",
                              "Wild",
                              "Glass",
                              "Northern",
                              "Sweet",
                              "Broken",
                              "Caf\xC3\xA9",
                              "Se\xC3\xB1or",
                              "M\xC3\xBCller",
                              "S\xC3\xA3o",
                              "Fa\xC3\xA7"
                              "ade",
                              "Love & War"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

// Composed Latin-1 letters of the word list and their decomposed spellings.
QByteArray decomposed(const QByteArray& text) {
    QByteArray out = text;
    out.replace("\xC3\xA9", "e\xCC\x81")
        .replace("\xC3\xB1", "n\xCC\x83")
        .replace("\xC3\xBC", "u\xCC\x88")
        .replace("\xC3\xA3", "a\xCC\x83")
        .replace("\xC3\xA7", "c\xCC\xA7");
    return out;
}

QByteArray phrase(Random& random, int words) {
    QByteArray out;
    for (int i = 0; i < words; ++i) {
        if (i > 0) {
            out += ' ';
        }
        out += kWords[random.below(kWordCount)];
    }
    return out;
}

struct TrackInfo {
    int id;
    bool video;
    bool movie;
    bool podcast;
};

void writeTrack(Writer& out, Random& random, TrackInfo& info, int index) {
    const char* in = "\t\t\t";
    const bool nfd = random.chance(10);
    QByteArray artist = phrase(random, 1 + random.below(2));
    QByteArray album = phrase(random, 2);
    QByteArray name = phrase(random, 1 + random.below(4));
    if (nfd) {
        artist = decomposed(artist);
        album = decomposed(album);
        name = decomposed(name);
    }
    info.video = random.chance(5);
    info.movie = info.video && random.chance(50);
    info.podcast = !info.video && random.chance(2);
    const int trackNumber = 1 + index % 14;
    const char* extension = info.video ? ".m4v" : (random.chance(30) ? ".m4a" : ".mp3");

    QByteArray record;
    record.reserve(2048);
    record += "\t\t<key>" + QByteArray::number(info.id) + "</key>\n\t\t<dict>\n";
    record += integerEntry(in, "Track ID", info.id);
    record += stringEntry(in, "Name", name);
    record += stringEntry(in, "Artist", artist);
    if (random.chance(40)) {
        record += stringEntry(in, "Album Artist", artist);
    }
    if (random.chance(25)) {
        record += stringEntry(in, "Composer", phrase(random, 2));
    }
    record += stringEntry(in, "Album", album);
    if (random.chance(15)) {
        record += stringEntry(in, "Sort Album", album);
    }
    record += stringEntry(in, "Genre", info.podcast ? "Podcast" : (info.video ? "Drama" : "Rock"));
    record += stringEntry(in, "Kind", info.video ? "MPEG-4 video file" : "MPEG audio file");
    record += integerEntry(in, "Size", 2000000 + random.below(9000000));
    record += integerEntry(in, "Total Time", 60000 + random.below(400000));
    record += integerEntry(in, "Disc Number", 1);
    record += integerEntry(in, "Disc Count", 1);
    record += integerEntry(in, "Track Number", trackNumber);
    record += integerEntry(in, "Track Count", 14);
    record += integerEntry(in, "Year", 1960 + random.below(50));
    record += dateEntry(in, "Date Modified", random);
    record += dateEntry(in, "Date Added", random);
    record += integerEntry(in, "Bit Rate", 128 + 32 * random.below(6));
    record += integerEntry(in, "Sample Rate", 44100);
    if (random.chance(70)) {
        record += integerEntry(in, "Play Count", random.below(200));
        // Seconds since 1904: beyond 32 bits.
        record += integerEntry(in, "Play Date", 3300000000LL + random.below(100000000));
        record += dateEntry(in, "Play Date UTC", random);
    }
    if (random.chance(20)) {
        record += integerEntry(in, "Rating", 20 * random.below(6));
    }
    record += integerEntry(in, "Artwork Count", random.below(2));
    if (random.chance(60)) {
        record += integerEntry(in, "Normalization", random.below(5000));
    }
    record += stringEntry(in, "Persistent ID", persistentId(random));
    if (info.video) {
        record += trueEntry(in, "Has Video");
        record += integerEntry(in, "Video Width", 640);
        record += integerEntry(in, "Video Height", 480);
        record += trueEntry(in, info.movie ? "Movie" : "TV Show");
    }
    if (info.podcast) {
        record += trueEntry(in, "Podcast");
    }
    const QByteArray file = QByteArray::number(trackNumber).rightJustified(2, '0') + ' ' + name + extension;
    const QByteArray tail = "Music/iTunes/iTunes Music/" + artist + '/' + album + '/' + file;
    QByteArray location;
    if (info.podcast && random.chance(30)) {
        record += stringEntry(in, "Track Type", "URL");
        location = "http://podcasts.example.com/feed/" + QByteArray::number(info.id) + ".mp3";
    } else {
        record += stringEntry(in, "Track Type", "File");
        const int form = random.below(100);
        const QByteArray encoded = tail.toPercentEncoding("/");
        if (form < 2) {
            location = "file://localhost/C:/Users/someone/" + encoded;
        } else if (form < 10) {
            location = "file:///Users/someone/" + encoded;
        } else {
            location = "file://localhost/Users/someone/" + encoded;
        }
    }
    record += stringEntry(in, "Location", location);
    record += integerEntry(in, "File Folder Count", 4);
    record += integerEntry(in, "Library Folder Count", 1);
    record += "\t\t</dict>\n";
    out << record;
}

void writePlaylist(Writer& out, Random& random, const QByteArray& name, const QByteArray& flags,
                   const std::vector<int>& items) {
    const char* in = "\t\t\t";
    QByteArray head = "\t\t<dict>\n";
    head += stringEntry(in, "Name", name);
    head += flags;
    head += integerEntry(in, "Playlist ID", 100000 + random.below(900000));
    head += stringEntry(in, "Playlist Persistent ID", persistentId(random));
    head += trueEntry(in, "All Items");
    out << head;
    if (!items.empty()) {
        out << "\t\t\t<key>Playlist Items</key>\n\t\t\t<array>\n";
        QByteArray block;
        for (const int id : items) {
            block += "\t\t\t\t<dict>\n\t\t\t\t\t<key>Track ID</key><integer>" + QByteArray::number(id) +
                     "</integer>\n\t\t\t\t</dict>\n";
            if (block.size() > 65536) {
                out << block;
                block.clear();
            }
        }
        out << block << "\t\t\t</array>\n";
    }
    out << "\t\t</dict>\n";
}

QByteArray smartData(Random& random) {
    QByteArray bytes;
    for (int i = 0; i < 120; ++i) {
        bytes += static_cast<char>(random.below(256));
    }
    QByteArray text = "\n\t\t\t";
    const QByteArray base64 = bytes.toBase64();
    for (qsizetype i = 0; i < base64.size(); i += 60) {
        text += base64.mid(i, 60) + "\n\t\t\t";
    }
    return text;
}

std::vector<int> pick(Random& random, const std::vector<int>& from, int count) {
    std::vector<int> ids;
    ids.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count && !from.empty(); ++i) {
        ids.push_back(from[static_cast<std::size_t>(random.below(static_cast<int>(from.size())))]);
    }
    return ids;
}

} // namespace

bool writeITunesLibrary(const QString& path, int trackCount, quint64 seed) {
    Random random(seed);
    Writer out(path);
    out << kHeader;
    out << "\t<key>Major Version</key><integer>1</integer>\n\t<key>Minor Version</key><integer>1</integer>\n"
           "\t<key>Date</key><date>2009-05-01T10:00:00Z</date>\n"
           "\t<key>Application Version</key><string>8.1.1</string>\n"
           "\t<key>Features</key><integer>5</integer>\n"
           "\t<key>Show Content Ratings</key><true/>\n"
           "\t<key>Music "
           "Folder</key><string>file://localhost/Users/someone/Music/iTunes/iTunes%20Music/</string>\n"
           "\t<key>Library Persistent ID</key><string>"
        << persistentId(random) << "</string>\n\t<key>Tracks</key>\n\t<dict>\n";
    std::vector<TrackInfo> tracks(static_cast<std::size_t>(trackCount));
    for (int i = 0; i < trackCount; ++i) {
        tracks[static_cast<std::size_t>(i)].id = 1000 + 2 * i;
        writeTrack(out, random, tracks[static_cast<std::size_t>(i)], i);
    }
    out << "\t</dict>\n\t<key>Playlists</key>\n\t<array>\n";

    std::vector<int> all;
    std::vector<int> audio;
    std::vector<int> videos;
    std::vector<int> movies;
    std::vector<int> shows;
    std::vector<int> podcasts;
    for (const TrackInfo& t : tracks) {
        all.push_back(t.id);
        (t.video ? videos : audio).push_back(t.id);
        if (t.video) {
            (t.movie ? movies : shows).push_back(t.id);
        }
        if (t.podcast) {
            podcasts.push_back(t.id);
        }
    }
    const char* in = "\t\t\t";
    const auto smart = [&](int kind) {
        QByteArray flags;
        if (kind != 0) {
            flags += integerEntry(in, "Distinguished Kind", kind);
        }
        flags += key(in, "Smart Info") + "\n\t\t\t<data>" + smartData(random) + "</data>\n";
        flags += key(in, "Smart Criteria") + "\n\t\t\t<data>" + smartData(random) + "</data>\n";
        return flags;
    };
    writePlaylist(out, random, "Library", trueEntry(in, "Master") + key(in, "Visible") + "<false/>\n", all);
    writePlaylist(out, random, "Music",
                  integerEntry(in, "Distinguished Kind", 4) + trueEntry(in, "Music") + smart(0), audio);
    writePlaylist(out, random, "Movies",
                  integerEntry(in, "Distinguished Kind", 2) + trueEntry(in, "Movies") + smart(0), movies);
    writePlaylist(out, random, "TV Shows",
                  integerEntry(in, "Distinguished Kind", 3) + trueEntry(in, "TV Shows") + smart(0), shows);
    writePlaylist(out, random, "Podcasts",
                  integerEntry(in, "Distinguished Kind", 10) + trueEntry(in, "Podcasts"), podcasts);
    writePlaylist(out, random, "Videos", trueEntry(in, "Videos") + smart(0), videos);
    writePlaylist(out, random, "Audiobooks",
                  integerEntry(in, "Distinguished Kind", 5) + trueEntry(in, "Audiobooks"), {});
    writePlaylist(out, random, "Purchased", integerEntry(in, "Distinguished Kind", 19) + smart(0),
                  pick(random, all, 40));
    int written = 8;
    const char* smartNames[] = {"90\xE2\x80\x99s Music", "Recently Added", "Recently Played",
                                "Top 25 Most Played", "My Top Rated"};
    for (const char* name : smartNames) {
        writePlaylist(out, random, name, smart(0), pick(random, all, 25 + random.below(500)));
        ++written;
    }
    for (; written < 300; ++written) {
        const int shape = random.below(100);
        const QByteArray name = phrase(random, 1 + random.below(3)) + ' ' + QByteArray::number(written);
        if (shape < 10) {
            writePlaylist(out, random, name, smart(0), pick(random, all, random.below(800)));
        } else if (shape < 15) {
            writePlaylist(out, random, name, trueEntry(in, "Folder"), {});
        } else if (shape < 20) {
            writePlaylist(out, random, name, {}, {});
        } else if (shape < 25) { // videos only
            writePlaylist(out, random, name, {}, pick(random, videos, 1 + random.below(60)));
        } else {
            writePlaylist(out, random, name, {}, pick(random, all, 5 + random.below(400)));
        }
    }
    out << "\t</array>\n";
    out << kFooter;
    return out.finish();
}

bool writeIPhotoLibrary(const QString& path, int photoCount, quint64 seed) {
    Random random(seed);
    Writer out(path);
    const QByteArray library = "/Users/someone/Pictures/iPhoto Library";
    out << kHeader;
    out << "\t<key>Application Version</key><string>6.0.6 (6.0.6)</string>\n"
           "\t<key>Archive Path</key><string>"
        << library << "</string>\n";

    std::vector<QByteArray> ids;
    ids.reserve(static_cast<std::size_t>(photoCount));
    for (int i = 0; i < photoCount; ++i) {
        ids.push_back(QByteArray::number(4 + 3 * i));
    }
    const auto keyList = [&](const std::vector<QByteArray>& list) {
        QByteArray text = "\t\t\t<key>KeyList</key>\n\t\t\t<array>\n";
        for (const QByteArray& id : list) {
            text += "\t\t\t\t<string>" + id + "</string>\n";
        }
        return text + "\t\t\t</array>\n";
    };
    const auto somePhotos = [&](int count) {
        std::vector<QByteArray> list;
        for (int i = 0; i < count && photoCount > 0; ++i) {
            list.push_back(ids[static_cast<std::size_t>(random.below(photoCount))]);
        }
        return list;
    };
    const auto album = [&](int number, const QByteArray& name, const QByteArray& type, bool master,
                           const std::vector<QByteArray>& list) {
        const char* in = "\t\t\t";
        QByteArray text = "\t\t<dict>\n";
        text += integerEntry(in, "AlbumId", 999000 + number);
        text += stringEntry(in, "AlbumName", name);
        if (!type.isEmpty()) {
            text += stringEntry(in, "Album Type", type);
        }
        text += stringEntry(in, "GUID", persistentId(random));
        if (master) {
            text += trueEntry(in, "Master");
        }
        text += keyList(list);
        text += integerEntry(in, "PhotoCount", static_cast<qint64>(list.size()));
        text += "\t\t</dict>\n";
        out << text;
    };

    out << "\t<key>List of Albums</key>\n\t<array>\n";
    album(0, "Photos", "", true, ids);
    album(1, "Last 12 Months", "Special Month", false, somePhotos(photoCount / 4));
    album(2, "Last Roll", "Special Roll", false, somePhotos(40));
    album(3, "Flagged", "Flagged", false, somePhotos(12));
    for (int n = 4; n < 400; ++n) {
        const int shape = random.below(100);
        const QByteArray name = phrase(random, 1 + random.below(3)) + ' ' + QByteArray::number(n);
        if (shape < 10) {
            album(n, name, "Smart", false, somePhotos(random.below(600)));
        } else if (shape < 15) {
            album(n, name, "Regular", false, {});
        } else if (shape < 20) {
            album(n, name, "Folder", false, {});
        } else if (shape < 30) {
            album(n, name, "Special Month", false, somePhotos(random.below(300)));
        } else {
            album(n, name, "Regular", false, somePhotos(1 + random.below(120)));
        }
    }
    out << "\t</array>\n\t<key>List of Rolls</key>\n\t<array>\n";
    const int perRoll = 100;
    for (int roll = 0; roll * perRoll < photoCount; ++roll) {
        const char* in = "\t\t\t";
        QByteArray text = "\t\t<dict>\n";
        text += integerEntry(in, "RollID", roll);
        text += stringEntry(in, "RollName", "Roll " + QByteArray::number(roll));
        text += realEntry(in, "RollDateAsTimerInterval", 200000000.0 + roll * 86400.0);
        const auto first = ids.begin() + roll * perRoll;
        const auto last = ids.begin() + std::min(photoCount, (roll + 1) * perRoll);
        text += keyList(std::vector<QByteArray>(first, last));
        text += "\t\t</dict>\n";
        out << text;
    }
    out << "\t</array>\n\t<key>List of Keywords</key>\n\t<dict>\n";
    for (int k = 1; k <= 30; ++k) {
        out << "\t\t<key>" << QByteArray::number(k) << "</key><string>" << escaped(kWords[k % kWordCount])
            << "</string>\n";
    }
    out << "\t</dict>\n\t<key>Major Version</key><integer>2</integer>\n"
           "\t<key>Minor Version</key><integer>1</integer>\n"
           "\t<key>Master Image List</key>\n\t<dict>\n";
    for (int i = 0; i < photoCount; ++i) {
        const char* in = "\t\t\t";
        const int roll = i / perRoll;
        QByteArray caption = random.chance(60) ? "IMG_" + QByteArray::number(1000 + i) : phrase(random, 2);
        if (random.chance(10)) {
            caption = decomposed(caption);
        }
        const QByteArray folder = QByteArray::number(2004 + roll % 5) + '/' +
                                  QByteArray::number(1 + roll % 12).rightJustified(2, '0') + '/' +
                                  QByteArray::number(1 + roll % 28).rightJustified(2, '0');
        const QByteArray file = "IMG_" + QByteArray::number(1000 + i) + ".jpg";
        QByteArray text = "\t\t<key>" + ids[static_cast<std::size_t>(i)] + "</key>\n\t\t<dict>\n";
        text += stringEntry(in, "MediaType", "Image");
        text += stringEntry(in, "Caption", caption);
        text += stringEntry(in, "Comment", random.chance(15) ? phrase(random, 4) : QByteArray());
        text += stringEntry(in, "GUID", persistentId(random));
        text += realEntry(in, "Aspect Ratio", random.chance(80) ? 1.333333 : 0.75);
        text += integerEntry(in, "Rating", random.below(6));
        text += integerEntry(in, "Roll", roll);
        text += realEntry(in, "DateAsTimerInterval", 150000000.0 + i * 977.0);
        text += realEntry(in, "ModDateAsTimerInterval", 150000000.0 + i * 979.0);
        text += realEntry(in, "MetaModDateAsTimerInterval", 150000000.0 + i * 983.0);
        text += stringEntry(in, "ImagePath", library + '/' + folder + '/' + file);
        if (random.chance(20)) {
            text += stringEntry(in, "OriginalPath", library + "/Originals/" + folder + '/' + file);
        }
        text += stringEntry(in, "ThumbPath", library + "/Data/" + folder + '/' + file);
        if (random.chance(25)) {
            text += key(in, "Keywords") + "\n\t\t\t<array>\n\t\t\t\t<string>" +
                    QByteArray::number(1 + random.below(30)) + "</string>\n\t\t\t</array>\n";
        }
        text += "\t\t</dict>\n";
        out << text;
    }
    out << "\t</dict>\n" << kFooter;
    return out.finish();
}

} // namespace CatalogueGenerator
