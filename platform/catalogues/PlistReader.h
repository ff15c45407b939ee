#pragma once

#include "platform/catalogues/PlistValue.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class LoadProgress;

// Reads XML property lists as the catalogues of photo and music libraries
// write them: a UTF-8 byte-order mark, CRLF line ends, any DOCTYPE line, the
// predefined and numeric character entities. The document is read by the
// hardened XmlPushParser: nothing outside the file is ever loaded, entities
// the file declares are not expanded (a document that uses one is refused),
// and bad bytes are mended. Files that are not well-formed, or nest deeper
// than maxDepth elements, are refused as a whole.
//
// Large catalogues are read in chunks and can be streamed: the records of a
// dictionary or array under a key of the root dictionary are handed to a
// handler one at a time, as each is complete, and never kept, so memory holds
// one record rather than a tree of the whole file. Records can be limited to
// the fields a reader needs; other keys are skipped without building values.
// Handlers run while the file is read: when the read fails in the end, the
// caller must drop what it collected.
class PlistReader {
public:
    using EntryHandler = std::function<void(const QString& key, PlistValue&& record)>;
    using ElementHandler = std::function<void(PlistValue&& record)>;
    using RootValueHandler = std::function<void(const QString& key, const PlistValue& value)>;

    // Element nesting beyond this makes the file unreadable (keeps the stack bounded).
    static constexpr int maxDepth = 200;

    PlistReader();
    ~PlistReader();
    PlistReader(const PlistReader&) = delete;
    PlistReader& operator=(const PlistReader&) = delete;

    // Reads only these keys of the root dictionary (plus the streamed ones);
    // every other key is skipped. Without a call, every key is read.
    void setRootKeys(const QStringList& keys);
    // Hands each entry of the dictionary under rootKey to handler instead of
    // keeping it. When fields is not empty, an entry that is a dictionary
    // keeps only those keys. A value of another type under rootKey is skipped.
    void streamDictionary(const QString& rootKey, const QStringList& fields, EntryHandler handler);
    // The same for the elements of an array under rootKey.
    void streamArray(const QString& rootKey, const QStringList& fields, ElementHandler handler);
    // Hands each element of the array under field of every record streamed
    // from rootKey to handler as it completes, before the record's own
    // handler runs, instead of keeping the array in the record (which then
    // lacks field). fields limits the elements' dictionaries as above. For
    // records holding long lists: a playlist of a million tracks.
    void streamNestedArray(const QString& rootKey, const QString& field, const QStringList& fields,
                           ElementHandler handler);
    // Tells handler each value of the root dictionary that is read (see
    // setRootKeys) as soon as it is complete, before the entries after it are
    // read: for a setting that the streamed records depend on, such as where
    // a library keeps its files.
    void setRootValueHandler(RootValueHandler handler) { _rootValueHandler = std::move(handler); }

    // The root value of the file (without the streamed containers), or none
    // when the file cannot be read or is not a well-formed property list.
    PlistValue readFile(const QString& path) const;
    // The same, telling progress the share of the file read after each chunk;
    // a cancelled load stops there and reads as none.
    PlistValue readFile(const QString& path, LoadProgress& progress) const;
    PlistValue read(QByteArrayView bytes) const;

    // A whole file or buffer as one value: for small property lists.
    static PlistValue parseFile(const QString& path);
    static PlistValue parse(QByteArrayView bytes);

    // A set of keys matched against the parser's UTF-8 bytes, answering a
    // shared copy of the key so that records do not allocate their key strings.
    struct KeySet {
        std::vector<std::pair<QByteArray, QString>> keys;
        const QString* find(const char* bytes, std::size_t length) const;
        void add(const QString& key);
    };
    struct Stream {
        QString rootKey;
        bool isDictionary = false;
        std::optional<KeySet> fields;
        EntryHandler entryHandler;
        ElementHandler elementHandler;
        QString parentRootKey; // a nested stream: rootKey is the field of the records streamed from here
    };

private:
    std::optional<KeySet> _rootKeys;
    std::vector<Stream> _streams;
    RootValueHandler _rootValueHandler;
};
