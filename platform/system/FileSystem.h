#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

// File system questions the browser asks, on lossless path strings (see Path).
namespace FileSystem {

// An entry's own type: symbolic links are reported as links, never followed.
enum class EntryType { Regular, Directory, SymbolicLink, Other, Unknown };

struct DirectoryEntry {
    QString name;
    EntryType type;
};

// Calls visit for each entry of the directory in the file system's order,
// without "." and "..", until visit answers false. Answers false when the
// directory cannot be opened.
bool forEachEntry(const QString& directory, const std::function<bool(const DirectoryEntry&)>& visit);

// An entry with its full path: the directory joined with the name.
struct DirectoryEntryPath {
    QString path;
    qsizetype nameStart; // where the name begins in path
    EntryType type;
    // Which state of the entry this is, when asked for: a digest of its
    // size and change time (never 0), so that a file written in place,
    // replaced or touched reads as another state. 0 when not asked for.
    std::size_t stamp = 0;
    QStringView name() const { return QStringView(path).mid(nameStart); }
};

// Like forEachEntry, but makes each entry's full path directly, one string
// per entry, for listings that keep a path for every item. With stamps, each
// entry's own state is read too (one fstatat per entry, links not followed).
// When the directory cannot be opened, answers false with errno set.
bool forEachEntryPath(const QString& directory, const std::function<bool(const DirectoryEntryPath&)>& visit,
                      bool stamps = false);

// All entries in the file system's order; nothing when the directory cannot be opened.
std::optional<std::vector<DirectoryEntry>> listDirectory(const QString& directory);

// The entry names in the file system's order; empty when the directory cannot be read.
QStringList entryNames(const QString& directory);

// Whether something exists at path, following symbolic links.
bool exists(const QString& path);

// How many sub-directories the directory at path holds, told by its link
// count without listing it (each sub-directory's ".." links to it), or -1
// where the file system does not keep that count (it then reports 1) or the
// directory cannot be read (the caller then has to look).
int subdirectoryCount(const QString& path);
// Whether path names a directory, following symbolic links.
bool isDirectory(const QString& path);
// Whether path names a regular file, following symbolic links (not a FIFO,
// socket or device, which must not be opened for reading).
bool isRegularFile(const QString& path);
// When the file at path last changed, in milliseconds since the epoch: its
// contents or its entry (a copy keeping the original's modification time
// still counts as new); none when nothing is there.
std::optional<qint64> changeTime(const QString& path);

} // namespace FileSystem
