#include "platform/catalogues/RhythmboxReader.h"

#include "platform/catalogues/XmlTextRepair.h"
#include "platform/system/Path.h"

#include <QScopeGuard>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <libxml/parser.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using ChunkReader = std::function<qsizetype(char* buffer, qsizetype size)>;

enum class Field { None, Title, Artist, Duration, Location, Mountpoint, Album, Genre, Query };

// The state of one parse. Element depth counts from the document element (1).
class Parser {
public:
    explicit Parser(bool playlists, bool details = false)
        : _playlists(playlists)
        , _details(details) {}

    std::function<void(RhythmboxReader::Entry&&)> onEntry;
    std::function<void(RhythmboxReader::Playlist&&)> onPlaylist;

    bool parse(const ChunkReader& readChunk);

private:
    static void onStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                               const xmlChar**, int attributeCount, int, const xmlChar** attributes);
    static void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*);
    static void onCharacters(void* context, const xmlChar* text, int length);
    static void onError(void*, xmlErrorPtr) {}
    static void onGenericError(void*, const char*, ...) {}

    void start(const char* name, int attributeCount, const xmlChar** attributes);
    void end();
    void endField();
    static std::string attribute(const char* name, int count, const xmlChar** attributes);
    static QString text(const std::string& bytes) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }

    bool _playlists;
    bool _details;
    bool _failed = false;
    int _depth = 0;
    // A record is open at depth 2: an entry to keep, or a playlist.
    bool _inRecord = false;
    bool _keepRecord = false;
    bool _episode = false;
    Field _field = Field::None;
    std::string _text;
    std::string _title, _artist, _duration, _location, _mountpoint, _album, _genre;
    RhythmboxReader::Playlist _playlist;
    // The open elements of an automatic playlist's query, innermost last.
    std::vector<RhythmboxReader::QueryElement*> _query;
};

bool Parser::parse(const ChunkReader& readChunk) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Parser::onStartElement;
    sax.endElementNs = &Parser::onEndElement;
    sax.characters = &Parser::onCharacters;
    sax.cdataBlock = &Parser::onCharacters;
    sax.serror = &Parser::onError;
    // No entity, DTD or subset handler is set: declarations are not recorded,
    // references to them are not resolved and nothing external is fetched.
    const xmlGenericErrorFunc previousError = xmlGenericError;
    void* const previousErrorContext = xmlGenericErrorContext;
    xmlSetGenericErrorFunc(nullptr, &Parser::onGenericError);
    const auto restoreError =
        qScopeGuard([&] { xmlSetGenericErrorFunc(previousErrorContext, previousError); });

    // Each chunk is mended before the parser sees it: one bad character in a
    // tag costs that character, not every entry after it.
    constexpr qsizetype chunkSize = 256 * 1024;
    std::vector<char> buffer(chunkSize);
    XmlTextRepair repair;
    std::string text;
    xmlParserCtxtPtr context = nullptr;
    while (!_failed) {
        const qsizetype length = readChunk(buffer.data(), chunkSize);
        if (length < 0) {
            _failed = true;
            break;
        }
        const bool last = length == 0;
        text.clear();
        repair.feed(buffer.data(), static_cast<std::size_t>(length), text, last);
        std::size_t offset = 0;
        if (context == nullptr) {
            // The first bytes let the parser detect the encoding.
            offset = std::min<std::size_t>(text.size(), 4);
            context = xmlCreatePushParserCtxt(&sax, this, text.data(), static_cast<int>(offset), nullptr);
            if (context == nullptr) {
                return false;
            }
            xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_NOCDATA);
        }
        const int result =
            xmlParseChunk(context, text.data() + offset, static_cast<int>(text.size() - offset), last);
        if (result != 0 || last) {
            break;
        }
    }
    if (context == nullptr) {
        return false;
    }
    const bool ok = !_failed && context->wellFormed != 0;
    if (context->myDoc != nullptr) {
        xmlFreeDoc(context->myDoc);
        context->myDoc = nullptr;
    }
    xmlFreeParserCtxt(context);
    return ok;
}

void Parser::onStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                            const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    auto* self = static_cast<Parser*>(context);
    if (self->_failed) {
        return;
    }
    if (++self->_depth > RhythmboxReader::maxDepth) {
        self->_failed = true;
        return;
    }
    self->start(reinterpret_cast<const char*>(localName), attributeCount, attributes);
}

void Parser::onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* self = static_cast<Parser*>(context);
    if (self->_failed) {
        return;
    }
    self->end();
    --self->_depth;
}

void Parser::onCharacters(void* context, const xmlChar* text, int length) {
    auto* self = static_cast<Parser*>(context);
    if (self->_field == Field::None || self->_failed) {
        return;
    }
    const std::size_t room = RhythmboxReader::maxTextLength -
                             std::min<std::size_t>(self->_text.size(), RhythmboxReader::maxTextLength);
    self->_text.append(reinterpret_cast<const char*>(text), std::min<std::size_t>(room, std::size_t(length)));
}

std::string Parser::attribute(const char* name, int count, const xmlChar** attributes) {
    // SAX2 attributes: localname, prefix, URI, value start, value end.
    for (int i = 0; i < count; ++i) {
        const xmlChar** attribute = attributes + 5 * i;
        if (std::strcmp(reinterpret_cast<const char*>(attribute[0]), name) == 0) {
            return std::string(reinterpret_cast<const char*>(attribute[3]),
                               static_cast<std::size_t>(attribute[4] - attribute[3]));
        }
    }
    return {};
}

void Parser::start(const char* name, int attributeCount, const xmlChar** attributes) {
    if (_depth == 2) {
        _inRecord = true;
        if (_playlists) {
            _keepRecord = std::strcmp(name, "playlist") == 0;
            _query.clear();
            _playlist = {};
            if (_keepRecord) {
                _playlist.name = text(attribute("name", attributeCount, attributes));
                _playlist.type = text(attribute("type", attributeCount, attributes));
                if (_playlist.type == QLatin1String("automatic")) {
                    _playlist.limitCount = text(attribute("limit-count", attributeCount, attributes));
                    _playlist.limitSize = text(attribute("limit-size", attributeCount, attributes));
                    _playlist.limitTime = text(attribute("limit-time", attributeCount, attributes));
                    _playlist.sortKey = text(attribute("sort-key", attributeCount, attributes));
                    _playlist.sortDirection = text(attribute("sort-direction", attributeCount, attributes));
                }
            }
        } else {
            const std::string type = attribute("type", attributeCount, attributes);
            _episode = type == "podcast-post";
            _keepRecord = std::strcmp(name, "entry") == 0 && (type == "song" || _episode);
            _title.clear();
            _artist.clear();
            _duration.clear();
            _location.clear();
            _mountpoint.clear();
            _album.clear();
            _genre.clear();
        }
        return;
    }
    if (_playlists && _keepRecord && _depth >= 3 && _playlist.type == QLatin1String("automatic")) {
        // The query, kept as a tree of its elements.
        std::vector<RhythmboxReader::QueryElement>& siblings =
            _query.empty() ? _playlist.query : _query.back()->children;
        siblings.push_back({text(name), text(attribute("prop", attributeCount, attributes)), {}, {}});
        _query.push_back(&siblings.back());
        _field = Field::Query;
        _text.clear();
        return;
    }
    if (_depth != 3 || !_keepRecord) {
        return;
    }
    if (_playlists) {
        _field = std::strcmp(name, "location") == 0 ? Field::Location : Field::None;
    } else if (std::strcmp(name, "title") == 0) {
        _field = Field::Title;
    } else if (std::strcmp(name, "artist") == 0) {
        _field = Field::Artist;
    } else if (std::strcmp(name, "duration") == 0) {
        _field = Field::Duration;
    } else if (std::strcmp(name, "location") == 0) {
        _field = Field::Location;
    } else if (std::strcmp(name, "mountpoint") == 0) {
        _field = Field::Mountpoint;
    } else if (_details && std::strcmp(name, "album") == 0) {
        _field = Field::Album;
    } else if (_details && std::strcmp(name, "genre") == 0) {
        _field = Field::Genre;
    } else {
        _field = Field::None;
    }
    _text.clear();
}

void Parser::endField() {
    switch (_field) {
    case Field::None:
        break;
    case Field::Title:
        _title.swap(_text);
        break;
    case Field::Artist:
        _artist.swap(_text);
        break;
    case Field::Duration:
        _duration.swap(_text);
        break;
    case Field::Location:
        if (_playlists) {
            _playlist.locations.push_back(text(_text));
        } else {
            _location.swap(_text);
        }
        break;
    case Field::Mountpoint:
        _mountpoint.swap(_text);
        break;
    case Field::Album:
        _album.swap(_text);
        break;
    case Field::Genre:
        _genre.swap(_text);
        break;
    case Field::Query:
        break;
    }
    _field = Field::None;
}

void Parser::end() {
    if (!_query.empty() && _depth >= 3) {
        RhythmboxReader::QueryElement* element = _query.back();
        if (element->children.empty()) {
            element->value = text(_text).trimmed();
        }
        _query.pop_back();
        _text.clear();
        _field = _query.empty() ? Field::None : Field::Query;
        return;
    }
    if (_depth == 3) {
        endField();
        return;
    }
    if (_depth != 2 || !_inRecord) {
        return;
    }
    _inRecord = false;
    if (!_keepRecord) {
        return;
    }
    if (_playlists) {
        onPlaylist(std::move(_playlist));
        _playlist = {};
        return;
    }
    // An episode is a track only once downloaded: its file is the mount point.
    if (_episode) {
        if (_mountpoint.rfind("file:", 0) != 0) {
            return;
        }
        _location.swap(_mountpoint);
    }
    if (_location.empty()) {
        return;
    }
    RhythmboxReader::Entry entry;
    entry.title = text(_title);
    entry.artist = text(_artist);
    qint64 seconds = 0;
    const char* begin = _duration.data();
    while (begin < _duration.data() + _duration.size() &&
           (*begin == ' ' || *begin == '\n' || *begin == '\t')) {
        ++begin;
    }
    const auto [end, error] = std::from_chars(begin, _duration.data() + _duration.size(), seconds);
    (void)end;
    entry.duration = error == std::errc() && seconds > 0 ? seconds : 0;
    entry.location = text(_location);
    entry.episode = _episode;
    if (_details) {
        entry.album = text(_album);
        entry.genre = text(_genre);
    }
    onEntry(std::move(entry));
}

bool parseFile(const QString& path, Parser& parser) {
    const int fd = ::open(Path::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return parser.parse([fd](char* buffer, qsizetype size) -> qsizetype {
        qsizetype total = 0;
        while (total < size) {
            const ssize_t n = ::read(fd, buffer + total, static_cast<std::size_t>(size - total));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return -1;
            }
            if (n == 0) {
                break;
            }
            total += n;
        }
        return total;
    });
}

bool parseBytes(const QByteArray& bytes, Parser& parser) {
    qsizetype offset = 0;
    return parser.parse([&](char* buffer, qsizetype size) -> qsizetype {
        const qsizetype n = std::min(size, bytes.size() - offset);
        std::memcpy(buffer, bytes.constData() + offset, static_cast<std::size_t>(n));
        offset += n;
        return n;
    });
}

} // namespace

bool RhythmboxReader::readDatabase(const QString& path, const std::function<void(Entry&&)>& handler,
                                   bool details) {
    Parser parser(false, details);
    parser.onEntry = handler;
    return parseFile(path, parser);
}

bool RhythmboxReader::readDatabase(const QByteArray& bytes, const std::function<void(Entry&&)>& handler,
                                   bool details) {
    Parser parser(false, details);
    parser.onEntry = handler;
    return parseBytes(bytes, parser);
}

bool RhythmboxReader::readPlaylists(const QString& path, const std::function<void(Playlist&&)>& handler) {
    Parser parser(true);
    parser.onPlaylist = handler;
    return parseFile(path, parser);
}

bool RhythmboxReader::readPlaylists(const QByteArray& bytes, const std::function<void(Playlist&&)>& handler) {
    Parser parser(true);
    parser.onPlaylist = handler;
    return parseBytes(bytes, parser);
}
