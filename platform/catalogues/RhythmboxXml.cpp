#include "platform/catalogues/RhythmboxXml.h"

#include "platform/catalogues/XmlPushParser.h"

#include <charconv>
#include <string>

namespace {

enum class Field { None, Title, Artist, Duration, Location, Mountpoint, Album, Genre, Query };

// The state of one read. Element depth counts from the document element (1).
class Parser : public XmlPushParser::Handler {
public:
    explicit Parser(bool playlists, bool details = false)
        : _playlists(playlists)
        , _details(details) {}

    std::function<void(RhythmboxXml::Entry&&)> onEntry;
    std::function<void(RhythmboxXml::Playlist&&)> onPlaylist;

    void startElement(std::string_view name, const XmlAttributes& attributes) override {
        ++_depth;
        start(name, attributes);
    }
    void endElement() override {
        end();
        --_depth;
    }
    void characters(std::string_view text) override;

private:
    void start(std::string_view name, const XmlAttributes& attributes);
    void end();
    void endField();
    static QString text(std::string_view bytes) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }

    bool _playlists;
    bool _details;
    int _depth = 0;
    // A record is open at depth 2: an entry to keep, or a playlist.
    bool _inRecord = false;
    bool _keepRecord = false;
    bool _episode = false;
    Field _field = Field::None;
    std::string _text;
    std::string _title, _artist, _duration, _location, _mountpoint, _album, _genre;
    RhythmboxXml::Playlist _playlist;
    // The open elements of an automatic playlist's query, innermost last.
    std::vector<RhythmboxXml::QueryElement*> _query;
};

void Parser::characters(std::string_view text) {
    if (_field == Field::None) {
        return;
    }
    const std::size_t room =
        RhythmboxXml::maxTextLength - std::min<std::size_t>(_text.size(), RhythmboxXml::maxTextLength);
    _text.append(text.substr(0, std::min(room, text.size())));
}

void Parser::start(std::string_view name, const XmlAttributes& attributes) {
    if (_depth == 2) {
        _inRecord = true;
        if (_playlists) {
            _keepRecord = name == "playlist";
            _query.clear();
            _playlist = {};
            if (_keepRecord) {
                _playlist.name = text(attributes.value("name"));
                _playlist.type = text(attributes.value("type"));
                if (_playlist.type == QLatin1String("automatic")) {
                    _playlist.limitCount = text(attributes.value("limit-count"));
                    _playlist.limitSize = text(attributes.value("limit-size"));
                    _playlist.limitTime = text(attributes.value("limit-time"));
                    _playlist.sortKey = text(attributes.value("sort-key"));
                    _playlist.sortDirection = text(attributes.value("sort-direction"));
                }
            }
        } else {
            const std::string_view type = attributes.value("type");
            _episode = type == "podcast-post";
            _keepRecord = name == "entry" && (type == "song" || _episode);
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
        std::vector<RhythmboxXml::QueryElement>& siblings =
            _query.empty() ? _playlist.query : _query.back()->children;
        siblings.push_back({text(name), text(attributes.value("prop")), {}, {}});
        _query.push_back(&siblings.back());
        _field = Field::Query;
        _text.clear();
        return;
    }
    if (_depth != 3 || !_keepRecord) {
        return;
    }
    if (_playlists) {
        _field = name == "location" ? Field::Location : Field::None;
    } else if (name == "title") {
        _field = Field::Title;
    } else if (name == "artist") {
        _field = Field::Artist;
    } else if (name == "duration") {
        _field = Field::Duration;
    } else if (name == "location") {
        _field = Field::Location;
    } else if (name == "mountpoint") {
        _field = Field::Mountpoint;
    } else if (_details && name == "album") {
        _field = Field::Album;
    } else if (_details && name == "genre") {
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
        RhythmboxXml::QueryElement* element = _query.back();
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
    RhythmboxXml::Entry entry;
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

XmlPushParser::Limits parserLimits() {
    XmlPushParser::Limits limits;
    limits.maxDepth = RhythmboxXml::maxDepth;
    return limits;
}

} // namespace

bool RhythmboxXml::readDatabase(const QString& path, LoadProgress& progress,
                                const std::function<void(Entry&&)>& handler, bool details) {
    Parser parser(false, details);
    parser.onEntry = handler;
    return XmlPushParser(parser, parserLimits()).parseFile(path, progress);
}

bool RhythmboxXml::readPlaylists(const QString& path, LoadProgress& progress,
                                 const std::function<void(Playlist&&)>& handler) {
    Parser parser(true);
    parser.onPlaylist = handler;
    return XmlPushParser(parser, parserLimits()).parseFile(path, progress);
}
