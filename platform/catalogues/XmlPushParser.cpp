#include "platform/catalogues/XmlPushParser.h"

#include "platform/catalogues/XmlTextRepair.h"
#include "platform/system/LoadProgress.h"
#include "platform/system/Path.h"

#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <libxml/parser.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::string_view XmlAttributes::value(std::string_view name) const {
    // SAX2 attributes: local name, prefix, URI, value start, value end.
    for (int i = 0; i < _count; ++i) {
        const unsigned char** attribute = _attributes + 5 * i;
        if (std::string_view(reinterpret_cast<const char*>(attribute[0])) == name) {
            return {reinterpret_cast<const char*>(attribute[3]),
                    static_cast<std::size_t>(attribute[4] - attribute[3])};
        }
    }
    return {};
}

XmlPushParser::Handler::~Handler() = default;

// One parse: the libxml2 context and the bounds kept while it runs.
class XmlPushParser::Context {
public:
    Context(Handler& handler, const Limits& limits)
        : _handler(handler)
        , _limits(limits) {}

    // Reads chunks from readChunk (answering the bytes read, 0 at the end,
    // -1 on an error) until the document ends, breaks or the load is given up.
    bool parse(const std::function<qsizetype(char* buffer, qsizetype size)>& readChunk,
               const std::function<bool()>& cancelled);
    void stop();

private:
    static void onStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                               const xmlChar**, int attributeCount, int, const xmlChar** attributes);
    static void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*);
    static void onCharacters(void* context, const xmlChar* text, int length);
    // Silence: failures are told by the result.
    static void onError(void*, xmlErrorPtr) {}
    static void onGenericError(void*, const char*, ...) {}

    Handler& _handler;
    const Limits& _limits;
    xmlParserCtxtPtr _parser = nullptr;
    bool _stopped = false;
    int _depth = 0;
    std::size_t _textLength = 0; // of the run of text since the last tag
};

void XmlPushParser::Context::stop() {
    if (!_stopped) {
        _stopped = true;
        if (_parser != nullptr) {
            xmlStopParser(_parser);
        }
    }
}

void XmlPushParser::Context::onStartElement(void* context, const xmlChar* localName, const xmlChar*,
                                            const xmlChar*, int, const xmlChar**, int attributeCount, int,
                                            const xmlChar** attributes) {
    auto* self = static_cast<Context*>(context);
    if (self->_stopped) {
        return;
    }
    self->_textLength = 0;
    if (++self->_depth > self->_limits.maxDepth) {
        self->stop();
        return;
    }
    self->_handler.startElement(reinterpret_cast<const char*>(localName),
                                XmlAttributes(attributes, attributeCount));
}

void XmlPushParser::Context::onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* self = static_cast<Context*>(context);
    if (self->_stopped) {
        return;
    }
    self->_textLength = 0;
    --self->_depth;
    self->_handler.endElement();
}

void XmlPushParser::Context::onCharacters(void* context, const xmlChar* text, int length) {
    auto* self = static_cast<Context*>(context);
    if (self->_stopped || length <= 0) {
        return;
    }
    const std::size_t room =
        self->_limits.maxTextLength - std::min(self->_textLength, self->_limits.maxTextLength);
    const std::size_t taken = std::min(room, static_cast<std::size_t>(length));
    self->_textLength += static_cast<std::size_t>(length);
    if (taken > 0) {
        self->_handler.characters({reinterpret_cast<const char*>(text), taken});
    }
}

bool XmlPushParser::Context::parse(const std::function<qsizetype(char* buffer, qsizetype size)>& readChunk,
                                   const std::function<bool()>& cancelled) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Context::onStartElement;
    sax.endElementNs = &Context::onEndElement;
    sax.characters = &Context::onCharacters;
    sax.cdataBlock = &Context::onCharacters;
    sax.serror = &Context::onError;
    // No entity, DTD or subset handler is set: declarations are not recorded,
    // references to them are not resolved and nothing external is fetched.

    // Encoding errors bypass the handler above and go to the generic error
    // function, which prints: silenced on this thread while the file is read.
    const xmlGenericErrorFunc previousError = xmlGenericError;
    void* const previousErrorContext = xmlGenericErrorContext;
    xmlSetGenericErrorFunc(nullptr, &Context::onGenericError);
    const auto restoreError =
        qScopeGuard([&] { xmlSetGenericErrorFunc(previousErrorContext, previousError); });

    std::vector<char> buffer(chunkSize);
    // The parser reads the mended text: one bad character in an exported
    // catalogue must not lose every record after it.
    XmlTextRepair repair;
    std::string text;
    text.reserve(chunkSize + chunkSize / 8);
    bool last = false;
    const auto readText = [&]() -> bool {
        if (cancelled()) {
            return false;
        }
        const qsizetype length = readChunk(buffer.data(), static_cast<qsizetype>(chunkSize));
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
    _parser = xmlCreatePushParserCtxt(&sax, this, text.data(), head, nullptr);
    if (_parser == nullptr) {
        return false;
    }
    xmlCtxtUseOptions(_parser, XML_PARSE_NONET | XML_PARSE_NOCDATA);
    std::size_t offset = static_cast<std::size_t>(head);
    while (!_stopped) {
        const int result =
            xmlParseChunk(_parser, text.data() + offset, static_cast<int>(text.size() - offset), last);
        if (result != 0 || last) {
            break;
        }
        offset = 0;
        if (!readText()) {
            _stopped = true;
        }
    }
    const bool ok = !_stopped && _parser->wellFormed != 0;
    // The parser keeps the entity declarations of an internal subset in a
    // document of its own, even in SAX mode; it is not freed with the context.
    if (_parser->myDoc != nullptr) {
        xmlFreeDoc(_parser->myDoc);
        _parser->myDoc = nullptr;
    }
    xmlFreeParserCtxt(_parser);
    _parser = nullptr;
    return ok;
}

XmlPushParser::XmlPushParser(Handler& handler)
    : XmlPushParser(handler, Limits()) {
}

XmlPushParser::XmlPushParser(Handler& handler, Limits limits)
    : _handler(handler)
    , _limits(limits) {
}

XmlPushParser::~XmlPushParser() = default;

void XmlPushParser::stop() {
    if (_context != nullptr) {
        _context->stop();
    }
}

bool XmlPushParser::parseFile(const QString& path, LoadProgress& progress) {
    // Opened without blocking and checked on the open descriptor: a FIFO in
    // the document's place would otherwise block until a writer came.
    const int fd = ::open(Path::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const qint64 fileSize = info.st_size;
    qint64 bytesRead = 0;
    Context context(_handler, _limits);
    _context = &context;
    const auto forget = qScopeGuard([this] { _context = nullptr; });
    return context.parse(
        [&](char* buffer, qsizetype size) -> qsizetype {
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
            // A file that grew while it was read counts as read to its end.
            progress.setFraction(
                fileSize > 0 ? std::min(1.0, static_cast<double>(bytesRead) / static_cast<double>(fileSize))
                             : 1.0);
            return total;
        },
        [&progress] { return progress.isCancelled(); });
}

bool XmlPushParser::parseBytes(QByteArrayView bytes, LoadProgress& progress) {
    qsizetype offset = 0;
    Context context(_handler, _limits);
    _context = &context;
    const auto forget = qScopeGuard([this] { _context = nullptr; });
    return context.parse(
        [&](char* buffer, qsizetype size) -> qsizetype {
            const qsizetype n = std::min(size, bytes.size() - offset);
            if (n > 0) {
                std::memcpy(buffer, bytes.data() + offset, static_cast<std::size_t>(n));
            }
            offset += n;
            progress.setFraction(
                bytes.isEmpty() ? 1.0 : static_cast<double>(offset) / static_cast<double>(bytes.size()));
            return n;
        },
        [&progress] { return progress.isCancelled(); });
}
