#include "platform/catalogues/PlistReader.h"

#include "platform/catalogues/XmlPushParser.h"
#include "platform/system/LoadProgress.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string>

namespace {

enum class Tag { Plist, Dict, Array, Key, String, Integer, Real, True, False, Date, Data, Other };

Tag tagOf(std::string_view name) {
    if (name.empty()) {
        return Tag::Other;
    }
    switch (name[0]) {
    case 'k':
        return name == "key" ? Tag::Key : Tag::Other;
    case 's':
        return name == "string" ? Tag::String : Tag::Other;
    case 'i':
        return name == "integer" ? Tag::Integer : Tag::Other;
    case 'd':
        if (name == "dict") {
            return Tag::Dict;
        }
        if (name == "date") {
            return Tag::Date;
        }
        return name == "data" ? Tag::Data : Tag::Other;
    case 'a':
        return name == "array" ? Tag::Array : Tag::Other;
    case 't':
        return name == "true" ? Tag::True : Tag::Other;
    case 'f':
        return name == "false" ? Tag::False : Tag::Other;
    case 'r':
        return name == "real" ? Tag::Real : Tag::Other;
    case 'p':
        return name == "plist" ? Tag::Plist : Tag::Other;
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

// The parse of one document: the parser's events build values on an explicit
// stack of open containers, so neither the parse nor the nesting of the file
// uses the call stack.
class Builder : public XmlPushParser::Handler {
public:
    Builder(const std::optional<PlistReader::KeySet>& rootKeys,
            const std::vector<PlistReader::Stream>& streams,
            const PlistReader::RootValueHandler& rootValueHandler)
        : _rootKeys(rootKeys)
        , _streams(streams)
        , _rootValueHandler(rootValueHandler) {}

    // Whether the parse read a well-formed property list.
    bool finish(bool parsed);
    PlistValue takeRoot() { return std::move(_root); }

    void startElement(std::string_view name, const XmlAttributes&) override;
    void endElement() override;
    void characters(std::string_view text) override;

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

    void startElement(Tag tag);
    void startContainer(bool isDictionary);
    void endContainer();
    void endLeaf();
    void endKey();
    void skipValue();
    void deliver(PlistValue&& value);

    const std::optional<PlistReader::KeySet>& _rootKeys;
    const std::vector<PlistReader::Stream>& _streams;
    const PlistReader::RootValueHandler& _rootValueHandler;

    std::vector<Frame> _frames;
    PlistValue _root;
    bool _hasRoot = false;
    bool _sawPlist = false;
    int _skipping = 0;      // open elements of a skipped value
    Tag _leaf = Tag::Other; // the leaf or key element whose text is being read
    std::string _text;
};

bool Builder::finish(bool parsed) {
    const bool ok = parsed && _hasRoot;
    _frames.clear();
    if (!ok) {
        _root = PlistValue();
    }
    return ok;
}

void Builder::startElement(std::string_view name, const XmlAttributes&) {
    if (_skipping > 0) {
        ++_skipping;
        return;
    }
    startElement(tagOf(name));
}

void Builder::endElement() {
    if (_skipping > 0) {
        --_skipping;
        return;
    }
    if (_leaf == Tag::Key) {
        endKey();
    } else if (_leaf != Tag::Other) {
        endLeaf();
    } else if (!_frames.empty()) {
        endContainer();
    }
    // Otherwise the end of <plist>.
}

void Builder::characters(std::string_view text) {
    if (_skipping == 0 && _leaf != Tag::Other) {
        _text.append(text);
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
        return;
    }
    if (_frames.size() == 1 && _rootValueHandler) {
        _rootValueHandler(frame.key, value);
    }
    frame.dictionary.insert(std::move(frame.key), std::move(value));
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

namespace {

XmlPushParser::Limits parserLimits() {
    XmlPushParser::Limits limits;
    limits.maxDepth = PlistReader::maxDepth;
    return limits;
}

} // namespace

PlistValue PlistReader::readFile(const QString& path) const {
    LoadProgress unobserved;
    return readFile(path, unobserved);
}

PlistValue PlistReader::readFile(const QString& path, LoadProgress& progress) const {
    Builder builder(_rootKeys, _streams, _rootValueHandler);
    XmlPushParser parser(builder, parserLimits());
    builder.finish(parser.parseFile(path, progress));
    return builder.takeRoot();
}

PlistValue PlistReader::read(QByteArrayView bytes) const {
    Builder builder(_rootKeys, _streams, _rootValueHandler);
    XmlPushParser parser(builder, parserLimits());
    LoadProgress unobserved;
    builder.finish(parser.parseBytes(bytes, unobserved));
    return builder.takeRoot();
}

PlistValue PlistReader::parseFile(const QString& path) {
    return PlistReader().readFile(path);
}

PlistValue PlistReader::parse(QByteArrayView bytes) {
    return PlistReader().read(bytes);
}
