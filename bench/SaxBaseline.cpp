#include "bench/SaxBaseline.h"

#include <QFile>

#include <cstring>
#include <libxml/parser.h>
#include <string>
#include <vector>

namespace SaxBaseline {

namespace {

const char* str(const xmlChar* s) {
    return reinterpret_cast<const char*>(s);
}

// Element depths: 1 plist, 2 root dict, 3 root keys and their values,
// 4 records, 5 record fields, 6 and 7 inside a record's array.
struct State {
    int depth = 0;
    std::string text;
    bool capture = false;
    std::string rootKey;
    std::string fieldKey;
    std::string innerKey;
    bool inTracks = false;
    bool inPlaylists = false;
    ITunesLibrary* itunes = nullptr;
    IPhotoLibrary* iphoto = nullptr;
};

QString textOf(const State& s) {
    return QString::fromUtf8(s.text.data(), static_cast<qsizetype>(s.text.size()));
}

void characters(void* context, const xmlChar* text, int length) {
    auto* s = static_cast<State*>(context);
    if (s->capture) {
        s->text.append(str(text), static_cast<std::size_t>(length));
    }
}

void startCapture(State* s) {
    s->text.clear();
    s->capture = true;
}

void itunesStart(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
                 int, int, const xmlChar**) {
    auto* s = static_cast<State*>(context);
    const int d = ++s->depth;
    const char* n = str(name);
    if (d == 4 && s->rootKey == "Tracks" && std::strcmp(n, "dict") == 0) {
        s->itunes->tracks.emplace_back().id = textOf(*s); // the record's key, just read
    }
    if (d == 3 || (d == 4 && s->rootKey == "Tracks") || d == 5 || d == 7) {
        startCapture(s);
    }
    if (d == 4 && s->rootKey == "Playlists") {
        s->itunes->playlists.emplace_back();
    } else if (d == 5 && s->rootKey == "Playlists" && s->fieldKey != "Playlist Items") {
        Playlist& p = s->itunes->playlists.back();
        if (std::strcmp(n, "true") == 0) {
            if (s->fieldKey == "Master") {
                p.master = true;
            } else if (s->fieldKey == "Videos") {
                p.videos = true;
            } else if (s->fieldKey == "Podcasts") {
                p.podcasts = true;
            }
        }
        if (s->fieldKey == "Smart Criteria") {
            p.smart = true;
        }
    } else if (d == 5 && s->rootKey == "Tracks" && s->fieldKey == "Has Video" &&
               std::strcmp(n, "true") == 0) {
        s->itunes->tracks.back().hasVideo = true;
    }
}

void itunesEnd(void* context, const xmlChar* name, const xmlChar*, const xmlChar*) {
    auto* s = static_cast<State*>(context);
    const int d = s->depth--;
    const bool isKey = std::strcmp(str(name), "key") == 0;
    s->capture = false;
    if (d == 3 && isKey) {
        s->rootKey = s->text;
    } else if (d == 5 && isKey) {
        s->fieldKey = s->text;
    } else if (d == 7 && isKey) {
        s->innerKey = s->text;
    } else if (d == 5 && s->rootKey == "Tracks") {
        Track& t = s->itunes->tracks.back();
        if (s->fieldKey == "Name") {
            t.name = textOf(*s);
        } else if (s->fieldKey == "Artist") {
            t.artist = textOf(*s);
        } else if (s->fieldKey == "Location") {
            t.location = textOf(*s);
        } else if (s->fieldKey == "Total Time") {
            t.totalTime = std::strtoll(s->text.c_str(), nullptr, 10);
        }
    } else if (d == 5 && s->rootKey == "Playlists" && s->fieldKey == "Name") {
        s->itunes->playlists.back().name = textOf(*s);
    } else if (d == 7 && s->rootKey == "Playlists" && s->innerKey == "Track ID") {
        s->itunes->playlists.back().trackIds.push_back(std::strtoll(s->text.c_str(), nullptr, 10));
    }
}

void iphotoStart(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
                 int, int, const xmlChar**) {
    auto* s = static_cast<State*>(context);
    const int d = ++s->depth;
    const char* n = str(name);
    const bool photos = s->rootKey == "Master Image List";
    const bool albums = s->rootKey == "List of Albums";
    if (d == 4 && photos && std::strcmp(n, "dict") == 0) {
        s->iphoto->photos.emplace_back().id = textOf(*s); // the record's key, just read
    }
    if (d == 3 || (d == 4 && photos) || (d == 5 && (photos || albums)) || (d == 6 && albums)) {
        startCapture(s);
    }
    if (d == 4 && albums) {
        s->iphoto->albums.emplace_back();
    } else if (d == 5 && albums && s->fieldKey == "Master" && std::strcmp(n, "true") == 0) {
        s->iphoto->albums.back().master = true;
    }
}

void iphotoEnd(void* context, const xmlChar* name, const xmlChar*, const xmlChar*) {
    auto* s = static_cast<State*>(context);
    const int d = s->depth--;
    const bool isKey = std::strcmp(str(name), "key") == 0;
    s->capture = false;
    if (d == 3 && isKey) {
        s->rootKey = s->text;
    } else if (d == 5 && isKey) {
        s->fieldKey = s->text;
    } else if (d == 5 && s->rootKey == "Master Image List") {
        Photo& p = s->iphoto->photos.back();
        if (s->fieldKey == "Caption") {
            p.caption = textOf(*s);
        } else if (s->fieldKey == "Comment") {
            p.comment = textOf(*s);
        } else if (s->fieldKey == "ImagePath") {
            p.imagePath = textOf(*s);
        } else if (s->fieldKey == "ThumbPath") {
            p.thumbPath = textOf(*s);
        }
    } else if (d == 5 && s->rootKey == "List of Albums") {
        Album& a = s->iphoto->albums.back();
        if (s->fieldKey == "AlbumName") {
            a.name = textOf(*s);
        } else if (s->fieldKey == "Album Type") {
            a.type = textOf(*s);
        }
    } else if (d == 6 && s->rootKey == "List of Albums" && s->fieldKey == "KeyList") {
        s->iphoto->albums.back().keys.push_back(textOf(*s));
    }
}

// Pushes the file to the parser in chunks of the library reader's size: one
// bare pass (the whole file in one buffer stops at 1 GB in libxml2, and a
// million-track catalogue is larger).
bool run(const QString& path, State& state, startElementNsSAX2Func start, endElementNsSAX2Func end) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = start;
    sax.endElementNs = end;
    sax.characters = characters;
    constexpr qint64 kChunk = 256 * 1024;
    std::vector<char> buffer(kChunk);
    qint64 length = file.read(buffer.data(), kChunk);
    if (length <= 0) {
        return false;
    }
    xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&sax, &state, buffer.data(), 4, nullptr);
    if (context == nullptr) {
        return false;
    }
    int error = xmlParseChunk(context, buffer.data() + 4, static_cast<int>(length - 4), 0);
    while (error == 0 && (length = file.read(buffer.data(), kChunk)) > 0) {
        error = xmlParseChunk(context, buffer.data(), static_cast<int>(length), 0);
    }
    if (error == 0) {
        error = xmlParseChunk(context, nullptr, 0, 1);
    }
    const bool ok = error == 0 && context->wellFormed != 0;
    xmlFreeParserCtxt(context);
    return ok;
}

} // namespace

bool readITunes(const QString& path, ITunesLibrary& library) {
    State state;
    state.itunes = &library;
    return run(path, state, itunesStart, itunesEnd);
}

bool readIPhoto(const QString& path, IPhotoLibrary& library) {
    State state;
    state.iphoto = &library;
    return run(path, state, iphotoStart, iphotoEnd);
}

} // namespace SaxBaseline
