#include "platform/system/FileSystem.h"

#include "platform/system/Path.h"

#include <QHashFunctions>

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {

namespace {

EntryType typeFromMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return EntryType::Regular;
    }
    if (S_ISDIR(mode)) {
        return EntryType::Directory;
    }
    if (S_ISLNK(mode)) {
        return EntryType::SymbolicLink;
    }
    return EntryType::Other;
}

EntryType typeOfEntry(DIR* dir, const dirent* entry) {
    switch (entry->d_type) {
    case DT_REG:
        return EntryType::Regular;
    case DT_DIR:
        return EntryType::Directory;
    case DT_LNK:
        return EntryType::SymbolicLink;
    case DT_UNKNOWN:
        break;
    default:
        return EntryType::Other;
    }
    // Some file systems do not report types: ask for the entry itself.
    struct stat info {};
    if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryType::Unknown;
    }
    return typeFromMode(info.st_mode);
}

} // namespace

namespace {

std::size_t stampOf(const struct stat& info) {
    const std::size_t stamp =
        qHashMulti(0, static_cast<qint64>(info.st_size), static_cast<qint64>(info.st_ino),
                   static_cast<qint64>(info.st_ctim.tv_sec), static_cast<qint64>(info.st_ctim.tv_nsec));
    return stamp == 0 ? 1 : stamp;
}

// Calls visit with each entry's raw name, own type and (with stamps) state,
// in the file system's order, without "." and "..", until visit answers false.
template <typename Visit> bool forEachRawEntry(const QString& directory, Visit visit, bool stamps = false) {
    DIR* dir = opendir(Path::toNative(directory).constData());
    if (dir == nullptr) {
        return false;
    }
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        EntryType type;
        std::size_t stamp = 0;
        if (stamps) {
            struct stat info {};
            if (fstatat(dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                continue; // gone since it was listed
            }
            type = typeFromMode(info.st_mode);
            stamp = stampOf(info);
        } else {
            type = typeOfEntry(dir, entry);
        }
        if (!visit(name, static_cast<qsizetype>(strlen(name)), type, stamp)) {
            break;
        }
    }
    closedir(dir);
    return true;
}

} // namespace

bool forEachEntry(const QString& directory, const std::function<bool(const DirectoryEntry&)>& visit) {
    return forEachRawEntry(directory, [&](const char* name, qsizetype length, EntryType type, std::size_t) {
        return visit(DirectoryEntry{Path::fromNative(name, length), type});
    });
}

bool forEachEntryPath(const QString& directory, const std::function<bool(const DirectoryEntryPath&)>& visit,
                      bool stamps) {
    const bool slash = directory.endsWith(QLatin1Char('/'));
    const qsizetype nameStart = directory.size() + (slash ? 0 : 1);
    return forEachRawEntry(
        directory,
        [&](const char* name, qsizetype length, EntryType type, std::size_t stamp) {
            QString path;
            path.reserve(nameStart + length);
            path.append(directory);
            if (!slash) {
                path.append(QLatin1Char('/'));
            }
            if (Path::isAscii(name, length)) {
                path.append(QLatin1String(name, length));
            } else {
                path.append(Path::fromNative(name, length));
            }
            return visit(DirectoryEntryPath{std::move(path), nameStart, type, stamp});
        },
        stamps);
}

std::optional<std::vector<DirectoryEntry>> listDirectory(const QString& directory) {
    std::vector<DirectoryEntry> entries;
    const bool opened = forEachEntry(directory, [&](const DirectoryEntry& entry) {
        entries.push_back(entry);
        return true;
    });
    if (!opened) {
        return std::nullopt;
    }
    return entries;
}

QStringList entryNames(const QString& directory) {
    QStringList names;
    forEachEntry(directory, [&](const DirectoryEntry& entry) {
        names.append(entry.name);
        return true;
    });
    return names;
}

bool exists(const QString& path) {
    struct stat info {};
    return stat(Path::toNative(path).constData(), &info) == 0;
}

int subdirectoryCount(const QString& path) {
    struct stat info {};
    const QByteArray native = Path::toNative(path);
    if (stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_nlink < 2 ||
        access(native.constData(), R_OK | X_OK) != 0) {
        return -1;
    }
    return static_cast<int>(std::min<nlink_t>(info.st_nlink - 2, INT_MAX));
}

bool isDirectory(const QString& path) {
    struct stat info {};
    return stat(Path::toNative(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const QString& path) {
    struct stat info {};
    return stat(Path::toNative(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<qint64> changeTime(const QString& path) {
    struct stat info {};
    if (stat(Path::toNative(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<qint64>(info.st_ctim.tv_sec) * 1000 + info.st_ctim.tv_nsec / 1000000;
}

} // namespace FileSystem
