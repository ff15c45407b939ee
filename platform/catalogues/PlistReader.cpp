#include "platform/catalogues/PlistReader.h"

#include "platform/catalogues/XmlTextRepair.h"
#include "platform/system/Path.h"

#include <QScopeGuard>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <libxml/parser.h>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Tag { Plist, Dict, Array, Key, String, Integer, Real, True, False, Date, Data, Other };

Tag tagOf(const xmlChar* name) {
    const auto* n = reinterpret_cast<const char*>(name);
    switch (n[0]) {
    case 'k':
        return std::strcmp(n, "key") == 0 ? Tag::Key : Tag::Other;
    case 's':
        return std::strcmp(n, "string") == 0 ? Tag::String : Tag::Other;
    case 'i':
        return std::strcmp(n, "integer") == 0 ? Tag::Integer : Tag::Other;
    case 'd':
        if (std::strcmp(n, "dict") == 0) {
            return Tag::Dict;
        }
        if (std::strcmp(n, "date") == 0) {
            return Tag::Date;
        }
        return std::strcmp(n, "data") == 0 ? Tag::Data : Tag::Other;
    case 'a':
        return std::strcmp(n, "array") == 0 ? Tag::Array : Tag::Other;
    case 't':
        return std::strcmp(n, "true") == 0 ? Tag::True : Tag::Other;
    case 'f':
        return std::strcmp(n, "false") == 0 ? Tag::False : Tag::Other;
    case 'r':
        return std::strcmp(n, "real") == 0 ? Tag::Real : Tag::Other;
    case 'p':
        return std::strcmp(n, "plist") == 0 ? Tag::Plist : Tag::Other;
    default:
        return Tag::Other;
    }
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && isSpace(text[end - 1])) {
        --end;
    }
    return std::string_view(text).substr(begin, end - begin);
}

std::optional<qint64> parseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return std::nullopt;
    }
    quint64 magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    constexpr auto limit = static_cast<quint64>(std::numeric_limits<qint64>::max());
    if (negative) {
        if (magnitude > limit + 1) {
            return std::nullopt;
        }
        return static_cast<qint64>(0 - magnitude);
    }
    if (magnitude > limit) {
        return std::nullopt;
    }
    return static_cast<qint64>(magnitude);
}

std::optional<double> parseReal(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

// The parse of one document: SAX events build values on an explicit stack of
// open containers, so neither the parse nor the nesting of the file uses the
// call stack.
class Builder {
public:
    Builder(const std::optional<PlistReader::KeySet>& rootKeys,
            const std::vector<PlistReader::Stream>& streams)
        : _rootKeys(rootKeys)
        , _streams(streams) {}

    bool parse(const std::function<qsizetype(char* buffer, qsizetype size)>& readChunk);
    PlistValue takeRoot() { return std::move(_root); }

private:
    struct Frame {
        bool isDictionary = false;
        bool hasKey = false;
        QString key;
        PlistDictionary dictionary;
        PlistArray array;
        const PlistReader::KeySet* fields = nullptr; // keys of this dictionary that are read; null: all
        const PlistReader::Stream* stream = nullptr; // entries handed out instead of kept
    };

    static void onStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                               const xmlChar**, int, int, const xmlChar**);
    static void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*);
    static void onCharacters(void* context, const xmlChar* text, int length);
    static void onError(void*, xmlErrorPtr) {} // silence: failures are reported by the result
    static void onGenericError(void*, const char*, ...) {}

    void startElement(Tag tag);
    void endElement();
    void startContainer(bool isDictionary);
    void endContainer();
    void endLeaf();
    void endKey();
    void skipValue();
    void deliver(PlistValue&& value);
    void fail();

    const std::optional<PlistReader::KeySet>& _rootKeys;
    const std::vector<PlistReader::Stream>& _streams;
    xmlParserCtxtPtr _context = nullptr;

    std::vector<Frame> _frames;
    PlistValue _root;
    bool _hasRoot = false;
    bool _sawPlist = false;
    bool _failed = false;
    int _depth = 0;         // open elements
    int _skipping = 0;      // open elements of a skipped value
    Tag _leaf = Tag::Other; // the leaf or key element whose text is being read
    std::string _text;
};

bool Builder::parse(const std::function<qsizetype(char* buffer, qsizetype size)>& readChunk) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Builder::onStartElement;
    sax.endElementNs = &Builder::onEndElement;
    sax.characters = &Builder::onCharacters;
    sax.cdataBlock = &Builder::onCharacters;
    sax.serror = &Builder::onError;
    // No entity, DTD or subset handler is set: declarations are not recorded,
    // references to them are not resolved and nothing external is fetched.

    // Encoding errors bypass the handler above and go to the generic error
    // function, which prints: silenced on this thread while the file is read.
    const xmlGenericErrorFunc previousError = xmlGenericError;
    void* const previousErrorContext = xmlGenericErrorContext;
    xmlSetGenericErrorFunc(nullptr, &Builder::onGenericError);
    const auto restoreError =
        qScopeGuard([&] { xmlSetGenericErrorFunc(previousErrorContext, previousError); });

    constexpr qsizetype chunkSize = 256 * 1024;
    std::vector<char> buffer(chunkSize);
    // The parser reads the mended text: one bad character in an exported
    // catalogue must not lose every record after it.
    XmlTextRepair repair;
    std::string text;
    text.reserve(chunkSize + chunkSize / 8);
    bool last = false;
    const auto readText = [&]() -> bool {
        const qsizetype length = readChunk(buffer.data(), chunkSize);
        if (length < 0) {
            return false;
        }
        last = length == 0;
        text.clear();
        repair.feed(buffer.data(), static_cast<std::size_t>(length), text, last);
        return true;
    };
    // The first bytes let the parser detect the encoding and a byte-order mark.
    do {
        if (!readText()) {
            return false;
        }
    } while (text.empty() && !last);
    const int head = static_cast<int>(std::min<std::size_t>(text.size(), 4));
    _context = xmlCreatePushParserCtxt(&sax, this, text.data(), head, nullptr);
    if (_context == nullptr) {
        return false;
    }
    xmlCtxtUseOptions(_context, XML_PARSE_NONET | XML_PARSE_NOCDATA);
    std::size_t offset = static_cast<std::size_t>(head);
    while (!_failed) {
        const int result =
            xmlParseChunk(_context, text.data() + offset, static_cast<int>(text.size() - offset), last);
        if (result != 0 || last) {
            break;
        }
        offset = 0;
        if (!readText()) {
            _failed = true;
        }
    }
    const bool ok = !_failed && _context->wellFormed != 0 && _hasRoot;
    // The parser keeps the entity declarations of an internal subset in a
    // document of its own, even in SAX mode; it is not freed with the context.
    if (_context->myDoc != nullptr) {
        xmlFreeDoc(_context->myDoc);
        _context->myDoc = nullptr;
    }
    xmlFreeParserCtxt(_context);
    _context = nullptr;
    _frames.clear();
    if (!ok) {
        _root = PlistValue();
    }
    return ok;
}

void Builder::onStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                             const xmlChar**, int, int, const xmlChar**) {
    auto* self = static_cast<Builder*>(context);
    if (self->_failed) {
        return;
    }
    if (++self->_depth > PlistReader::maxDepth) {
        self->fail();
        return;
    }
    if (self->_skipping > 0) {
        ++self->_skipping;
        return;
    }
    self->startElement(tagOf(localName));
}

void Builder::onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* self = static_cast<Builder*>(context);
    if (self->_failed) {
        return;
    }
    --self->_depth;
    if (self->_skipping > 0) {
        --self->_skipping;
        return;
    }
    self->endElement();
}

void Builder::onCharacters(void* context, const xmlChar* text, int length) {
    auto* self = static_cast<Builder*>(context);
    if (self->_skipping == 0 && self->_leaf != Tag::Other) {
        self->_text.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    }
}

void Builder::startElement(Tag tag) {
    if (_leaf != Tag::Other) {
        _skipping = 1; // markup inside a leaf is ignored, its text kept
        return;
    }
    switch (tag) {
    case Tag::Plist:
        if (_sawPlist || _hasRoot || !_frames.empty()) {
            skipValue();
        } else {
            _sawPlist = true;
        }
        return;
    case Tag::Key:
        if (!_frames.empty() && _frames.back().isDictionary) {
            _leaf = Tag::Key;
            _text.clear();
        } else {
            _skipping = 1;
        }
        return;
    case Tag::Other:
        skipValue();
        return;
    default:
        break;
    }
    // A value: wanted at the root (the first one only) and after a key that is read.
    const bool wanted = _frames.empty() ? !_hasRoot : (!_frames.back().isDictionary || _frames.back().hasKey);
    if (!wanted) {
        skipValue();
        return;
    }
    if (tag == Tag::Dict || tag == Tag::Array) {
        startContainer(tag == Tag::Dict);
        return;
    }
    _leaf = tag;
    _text.clear();
}

void Builder::startContainer(bool isDictionary) {
    const PlistReader::KeySet* fields = nullptr;
    const PlistReader::Stream* stream = nullptr;
    if (_frames.empty()) {
        fields = _rootKeys ? &*_rootKeys : nullptr;
    } else if (_frames.size() == 1 && _frames.front().isDictionary) {
        for (const auto& candidate : _streams) {
            if (candidate.parentRootKey.isNull() && candidate.rootKey == _frames.front().key) {
                if (candidate.isDictionary != isDictionary) {
                    skipValue();
                    return;
                }
                stream = &candidate;
                break;
            }
        }
    } else if (const auto* parentStream = _frames.back().stream; parentStream != nullptr) {
        fields = parentStream->fields ? &*parentStream->fields : nullptr;
    } else if (const Frame& record = _frames.back();
               _frames.size() >= 2 && record.isDictionary && _frames[_frames.size() - 2].stream != nullptr) {
        // A field of a streamed record: its elements may be streamed too.
        const QString& parentKey = _frames[_frames.size() - 2].stream->rootKey;
        for (const auto& candidate : _streams) {
            if (!candidate.parentRootKey.isNull() && candidate.parentRootKey == parentKey &&
                candidate.rootKey == record.key) {
                if (candidate.isDictionary != isDictionary) {
                    skipValue();
                    return;
                }
                stream = &candidate;
                break;
            }
        }
    }
    Frame& frame = _frames.emplace_back();
    frame.isDictionary = isDictionary;
    frame.fields = fields;
    frame.stream = stream;
    if (isDictionary && fields != nullptr) {
        frame.dictionary.reserve(fields->keys.size()); // a record: at most its fields
    }
}

void Builder::endElement() {
    if (_leaf == Tag::Key) {
        endKey();
    } else if (_leaf != Tag::Other) {
        endLeaf();
    } else if (!_frames.empty()) {
        endContainer();
    }
    // Otherwise the end of <plist>.
}

void Builder::endKey() {
    _leaf = Tag::Other;
    Frame& frame = _frames.back();
    if (frame.fields == nullptr) {
        frame.key = QString::fromUtf8(_text.data(), static_cast<qsizetype>(_text.size()));
        frame.hasKey = true;
        return;
    }
    const QString* known = frame.fields->find(_text.data(), _text.size());
    if (known == nullptr && _frames.size() == 1) {
        for (const auto& stream : _streams) {
            if (stream.parentRootKey.isNull() &&
                stream.rootKey.toUtf8() ==
                    QByteArrayView(_text.data(), static_cast<qsizetype>(_text.size()))) {
                known = &stream.rootKey;
                break;
            }
        }
    }
    frame.hasKey = known != nullptr;
    if (known != nullptr) {
        frame.key = *known;
    }
}

void Builder::endLeaf() {
    const Tag tag = _leaf;
    _leaf = Tag::Other;
    std::optional<PlistValue> value;
    switch (tag) {
    case Tag::String:
        value = PlistValue::string(QString::fromUtf8(_text.data(), static_cast<qsizetype>(_text.size())));
        break;
    case Tag::Integer:
        if (const auto number = parseInteger(trimmed(_text))) {
            value = PlistValue::integer(*number);
        }
        break;
    case Tag::Real:
        if (const auto number = parseReal(trimmed(_text))) {
            value = PlistValue::real(*number);
        }
        break;
    case Tag::True:
    case Tag::False:
        value = PlistValue::boolean(tag == Tag::True);
        break;
    case Tag::Date: {
        const std::string_view text = trimmed(_text);
        QDateTime when = QDateTime::fromString(
            QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), Qt::ISODate);
        if (when.isValid()) {
            value = PlistValue::date(std::move(when));
        }
        break;
    }
    case Tag::Data: {
        QByteArray compact;
        compact.reserve(static_cast<qsizetype>(_text.size()));
        for (const char c : _text) {
            if (!isSpace(c)) {
                compact.append(c);
            }
        }
        auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
        if (decoded) {
            value = PlistValue::data(std::move(*decoded));
        }
        break;
    }
    default:
        break;
    }
    if (value) {
        deliver(std::move(*value));
    } else if (!_frames.empty()) {
        _frames.back().hasKey = false; // an unreadable value counts as absent
    }
}

void Builder::endContainer() {
    Frame frame = std::move(_frames.back());
    _frames.pop_back();
    if (frame.stream != nullptr) {
        // Its entries went to the handler; nothing of it is kept.
        if (!_frames.empty()) {
            _frames.back().hasKey = false;
        }
        return;
    }
    deliver(frame.isDictionary ? PlistValue::dictionary(std::move(frame.dictionary))
                               : PlistValue::array(std::move(frame.array)));
}

void Builder::skipValue() {
    _skipping = 1;
    if (!_frames.empty()) {
        _frames.back().hasKey = false;
    }
}

void Builder::deliver(PlistValue&& value) {
    if (_frames.empty()) {
        _root = std::move(value);
        _hasRoot = true;
        return;
    }
    Frame& frame = _frames.back();
    if (!frame.isDictionary) {
        if (frame.stream != nullptr) {
            frame.stream->elementHandler(std::move(value));
        } else {
            frame.array.push_back(std::move(value));
        }
        return;
    }
    if (!frame.hasKey) {
        return;
    }
    frame.hasKey = false;
    if (frame.stream != nullptr) {
        frame.stream->entryHandler(frame.key, std::move(value));
    } else {
        frame.dictionary.insert(std::move(frame.key), std::move(value));
    }
}

void Builder::fail() {
    _failed = true;
    xmlStopParser(_context);
}

} // namespace

const QString* PlistReader::KeySet::find(const char* bytes, std::size_t length) const {
    for (const auto& [utf8, key] : keys) {
        if (static_cast<std::size_t>(utf8.size()) == length &&
            std::memcmp(utf8.constData(), bytes, length) == 0) {
            return &key;
        }
    }
    return nullptr;
}

void PlistReader::KeySet::add(const QString& key) {
    keys.emplace_back(key.toUtf8(), key);
}

PlistReader::PlistReader() = default;
PlistReader::~PlistReader() = default;

void PlistReader::setRootKeys(const QStringList& keys) {
    _rootKeys.emplace();
    for (const QString& key : keys) {
        _rootKeys->add(key);
    }
}

namespace {

std::optional<PlistReader::KeySet> keySet(const QStringList& fields) {
    if (fields.isEmpty()) {
        return std::nullopt;
    }
    PlistReader::KeySet set;
    for (const QString& field : fields) {
        set.add(field);
    }
    return set;
}

} // namespace

void PlistReader::streamDictionary(const QString& rootKey, const QStringList& fields, EntryHandler handler) {
    _streams.push_back({rootKey, true, keySet(fields), std::move(handler), {}, {}});
}

void PlistReader::streamArray(const QString& rootKey, const QStringList& fields, ElementHandler handler) {
    _streams.push_back({rootKey, false, keySet(fields), {}, std::move(handler), {}});
}

void PlistReader::streamNestedArray(const QString& rootKey, const QString& field, const QStringList& fields,
                                    ElementHandler handler) {
    _streams.push_back({field, false, keySet(fields), {}, std::move(handler), rootKey});
}

PlistValue PlistReader::readFile(const QString& path) const {
    // Opened without blocking and checked on the open descriptor: a FIFO in
    // the catalogue's place would otherwise block until a writer came.
    const int fd = ::open(Path::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {};
    }
    Builder builder(_rootKeys, _streams);
    const qint64 fileSize = info.st_size;
    qint64 bytesRead = 0;
    builder.parse([&](char* buffer, qsizetype size) -> qsizetype {
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
        bytesRead += total;
        if (_progress && !_progress(bytesRead, fileSize)) {
            return -1;
        }
        return total;
    });
    ::close(fd);
    return builder.takeRoot();
}

PlistValue PlistReader::read(QByteArrayView bytes) const {
    Builder builder(_rootKeys, _streams);
    qsizetype offset = 0;
    builder.parse([&](char* buffer, qsizetype size) -> qsizetype {
        const qsizetype n = std::min(size, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, static_cast<std::size_t>(n));
        offset += n;
        return n;
    });
    return builder.takeRoot();
}

PlistValue PlistReader::parseFile(const QString& path) {
    return PlistReader().readFile(path);
}

PlistValue PlistReader::parse(QByteArrayView bytes) {
    return PlistReader().read(bytes);
}
