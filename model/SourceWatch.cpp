#include "model/SourceWatch.h"

#include "model/FolderWatcher.h"
#include "platform/system/Path.h"

#include <sys/stat.h>

namespace {

QString parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? path.left(slash) : QStringLiteral("/");
}

bool isDirectory(const QString& path) {
    struct stat info {};
    return ::stat(Path::toNative(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The nearest directory at or above path that exists.
QString nearestDirectory(QString path) {
    while (!isDirectory(path) && path != QLatin1String("/")) {
        path = parentOf(path);
    }
    return path;
}

} // namespace

SourceWatch::~SourceWatch() {
    for (const QString& path : std::as_const(_watched)) {
        FolderWatcher::shared().unwatch(path, this);
    }
}

void SourceWatch::start(Targets targets, std::function<void()> changed) {
    if (_started || targets.isEmpty()) {
        return;
    }
    _started = true;
    _targets = std::move(targets);
    _changed = std::move(changed);
    _identities = identities();
    arm();
}

SourceWatch::Identity SourceWatch::identityOf(const QString& path) {
    struct stat info {};
    if (::stat(Path::toNative(path).constData(), &info) != 0) {
        return {};
    }
    return {static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino),
            static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::vector<SourceWatch::Identity> SourceWatch::identities() const {
    std::vector<Identity> result;
    result.reserve(static_cast<std::size_t>(_targets.directories.size() + _targets.files.size()));
    for (const QString& directory : _targets.directories) {
        Identity identity = identityOf(directory);
        identity.size = identity.size < 0 ? -1 : 0; // a directory's own size says nothing
        identity.modified = 0;
        result.push_back(identity);
    }
    for (const QString& file : _targets.files) {
        result.push_back(identityOf(file));
    }
    return result;
}

void SourceWatch::arm() {
    QStringList wanted;
    const auto want = [&wanted](const QString& path) {
        if (!wanted.contains(path)) {
            wanted.append(path);
        }
    };
    for (const QString& directory : std::as_const(_targets.directories)) {
        // A directory that is missing is waited for in the one above it.
        want(isDirectory(directory) ? directory : nearestDirectory(parentOf(directory)));
    }
    for (const QString& file : std::as_const(_targets.files)) {
        // Its directory, for a file renamed over it; the file itself, for writes in place.
        want(nearestDirectory(parentOf(file)));
        if (identityOf(file).size >= 0) {
            want(file);
        }
    }
    FolderWatcher& watcher = FolderWatcher::shared();
    for (const QString& path : std::as_const(_watched)) {
        if (!wanted.contains(path)) {
            watcher.unwatch(path, this);
        }
    }
    _watched.clear();
    for (const QString& path : std::as_const(wanted)) {
        // Watching again follows a path whose watch the kernel ended.
        if (watcher.watch(path, this, [this, path] { pathChanged(path); })) {
            _watched.append(path);
        }
    }
}

void SourceWatch::pathChanged(const QString& path) {
    arm();
    std::vector<Identity> now = identities();
    if (!_targets.files.isEmpty() && now[static_cast<std::size_t>(_targets.directories.size())].size < 0) {
        return; // the catalogue is between removal and renaming: wait for the new one
    }
    const bool replaced = now != _identities;
    _identities = std::move(now);
    // The entries of a followed directory changed, or something followed
    // came, went or was written.
    if (replaced || _targets.directories.contains(path)) {
        _changed();
    }
}
