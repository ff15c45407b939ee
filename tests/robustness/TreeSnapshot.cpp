#include "TreeSnapshot.h"

#include "platform/system/Path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <vector>

TreeSnapshot::TreeSnapshot(const QString& root)
    : _root(root) {
    std::vector<QByteArray> pending{Path::toNative(root)};
    while (!pending.empty()) {
        const QByteArray directory = pending.back();
        pending.pop_back();
        DIR* dir = opendir(directory.constData());
        if (dir == nullptr) {
            continue;
        }
        while (const dirent* entry = readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..") {
                continue;
            }
            const QByteArray path = directory + '/' + name;
            struct stat info {};
            if (lstat(path.constData(), &info) != 0) {
                continue;
            }
            _entries[path] = {static_cast<unsigned>(info.st_mode), static_cast<long long>(info.st_size),
                              info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
            if (S_ISDIR(info.st_mode)) {
                pending.push_back(path);
            }
        }
        closedir(dir);
    }
}

QStringList TreeSnapshot::changesSince(const TreeSnapshot& before, const QStringList& allowed) const {
    std::vector<QByteArray> allowedPaths;
    for (const QString& path : allowed) {
        allowedPaths.push_back(Path::toNative(path));
    }
    const auto isAllowed = [&](const QByteArray& path) {
        return std::find(allowedPaths.begin(), allowedPaths.end(), path) != allowedPaths.end();
    };
    QStringList changes;
    for (const auto& [path, entry] : _entries) {
        if (isAllowed(path)) {
            continue;
        }
        const auto old = before._entries.find(path);
        if (old == before._entries.end()) {
            changes.append(QStringLiteral("created ") + Path::fromNative(path));
        } else if (!(old->second == entry)) {
            changes.append(QStringLiteral("modified ") + Path::fromNative(path));
        }
    }
    for (const auto& [path, entry] : before._entries) {
        if (!isAllowed(path) && _entries.find(path) == _entries.end()) {
            changes.append(QStringLiteral("removed ") + Path::fromNative(path));
        }
    }
    return changes;
}
