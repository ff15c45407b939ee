#pragma once

#include "platform/index/BalooDocumentData.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// KDE's file index, Baloo, read straight from its database: an LMDB
// environment in one file (<data home>/baloo/index), opened read-only with
// liblmdb on first use. Baloo's own client library is built on Qt 5 and
// cannot be loaded here.
//
// The layout was learnt from Baloo's engine (KDE's baloo repository, versions
// 5.103, Debian 12's, and 6.9, the newest checked; it is the same in both):
// the sub-database "postingdb" maps a term to its documents' ids (an array of
// 64-bit little-endian ids), and a file's type is the term "T" followed by its
// KFileMetaData type number; "idfilename" maps a document id (an integer key)
// to its parent's id (8 bytes) and its own file name, up to a parent id of 0
// under the root folder; "documentdatadb" maps it to what the extractors found
// in the file (BalooDocumentData), when content indexing is on.
//
// The index is never written: no lock file is opened or made (the indexer
// removes its lock file when it starts anyway), and so a read that two of the
// indexer's commits overtook, which may have seen pages reused under it, is
// made again. Every read through liblmdb's map is guarded (MappedReadGuard):
// liblmdb trusts the page numbers it finds, and a spoilt index would
// otherwise fault the process.
namespace BalooIndex {

// The kinds of file the index tells apart, by Baloo's own numbers.
enum class Type { Audio = 2, Video = 3, Image = 4 };

// The index file of the desktop's indexer, or a null string when there is none.
QString indexFile();

struct Document {
    QByteArray path; // absolute, the file system's bytes
    BalooDocumentData::Properties properties;
};

// The files of the type the index at indexFile knows, in the index's order,
// with what the extractors found in them when withData (read in the same
// transaction). None when the index or liblmdb cannot be read, or when
// cancelled() answered true on the way.
std::optional<std::vector<Document>> documents(const QString& indexFile, Type type, bool withData,
                                               const std::function<bool()>& cancelled);

// The same files' paths alone.
std::optional<std::vector<QByteArray>> paths(const QString& indexFile, Type type,
                                             const std::function<bool()>& cancelled);

} // namespace BalooIndex
