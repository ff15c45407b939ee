#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <string_view>

class LoadProgress;

// The attributes of an element as the parser hands them out, valid while the
// handler runs.
class XmlAttributes {
public:
    XmlAttributes(const unsigned char** attributes, int count)
        : _attributes(attributes)
        , _count(count) {}

    // The value of the attribute of this local name as written (entities
    // resolved), or an empty view when the element has none.
    std::string_view value(std::string_view name) const;

private:
    const unsigned char** _attributes;
    int _count;
};

// Reads an XML document that another program wrote, in chunks, handing its
// elements and text to a handler as they are parsed: memory holds one chunk
// and what the handler keeps, never the document. Hardened for files from
// anywhere:
// - nothing outside the document is ever loaded: no DTD, no external entity,
//   no network; entities the document declares are never expanded (a
//   reference to one is an error), so no expansion can grow;
// - elements nested deeper than Limits::maxDepth end the parse as broken,
//   with the stack bounded;
// - a run of text longer than Limits::maxTextLength bytes is cut there: the
//   handler sees its first part only, whatever the document claims;
// - only regular files are opened, without blocking (a FIFO in a catalogue's
//   place answers at once);
// - bytes that strict XML rejects are mended on the way in (XmlTextRepair),
//   so one bad character costs that character, not the rest of the file.
// Each chunk reports the share of the document read to the load's progress,
// and a cancelled load stops before the next chunk.
class XmlPushParser {
public:
    // What a reader of one kind of document does with it: told of each
    // element's start and end and of the text between, in document order.
    class Handler {
    public:
        virtual ~Handler();
        // name is the element's local name (without a namespace prefix).
        virtual void startElement(std::string_view name, const XmlAttributes& attributes) = 0;
        virtual void endElement() = 0;
        // Some of the text of the element open now; one text may come in several parts.
        virtual void characters(std::string_view text) = 0;
    };

    struct Limits {
        int maxDepth = 200;
        std::size_t maxTextLength = 8 * 1024 * 1024;
    };

    explicit XmlPushParser(Handler& handler);
    XmlPushParser(Handler& handler, Limits limits);
    ~XmlPushParser();
    XmlPushParser(const XmlPushParser&) = delete;
    XmlPushParser& operator=(const XmlPushParser&) = delete;

    // Reads the regular file at path; answers whether it read a well-formed
    // document to its end. A read that breaks off (unreadable, truncated, not
    // XML, too deep, cancelled) answers false after the handler has seen
    // everything before the break.
    bool parseFile(const QString& path, LoadProgress& progress);
    // The same for a document in memory.
    bool parseBytes(QByteArrayView bytes, LoadProgress& progress);

    // Called from a handler: ends the parse here, as broken.
    void stop();

    // Bytes read from the file or buffer in each step.
    static constexpr std::size_t chunkSize = 256 * 1024;

    class Context;

private:
    Handler& _handler;
    Limits _limits;
    Context* _context = nullptr; // during a parse
};
