#include "model/CatalogueWatch.h"

#include "model/FolderWatcher.h"
#include "platform/system/Path.h"

#include <sys/stat.h>

CatalogueWatch::~CatalogueWatch() {
    for (const QString& path : std::as_const(_watched)) {
        FolderWatcher::shared().unwatch(path, this);
    }
}

void CatalogueWatch::start(const QStringList& files, std::function<void()> replaced) {
    if (_started || files.isEmpty()) {
        return;
    }
    _started = true;
    _files = files;
    _identities = identities();
    _replaced = std::move(replaced);
    for (const QString& file : files) {
        const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
        watch(slash > 0 ? file.left(slash) : QStringLiteral("/"));
    }
    for (const QString& file : files) {
        if (identityOf(file).size >= 0) {
            watch(file);
        }
    }
}

CatalogueWatch::Identity CatalogueWatch::identityOf(const QString& file) {
    struct stat info {};
    if (::stat(Path::toNative(file).constData(), &info) != 0) {
        return {};
    }
    return {static_cast<quint64>(info.st_ino), static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::vector<CatalogueWatch::Identity> CatalogueWatch::identities() const {
    std::vector<Identity> result;
    result.reserve(static_cast<std::size_t>(_files.size()));
    for (const QString& file : _files) {
        result.push_back(identityOf(file));
    }
    return result;
}

void CatalogueWatch::watch(const QString& path) {
    // Watching again is harmless, and follows a file that was replaced or
    // removed and made again (a database's "-wal" lives while it is open).
    if (FolderWatcher::shared().watch(path, this, [this] { changed(); }) && !_watched.contains(path)) {
        _watched.append(path);
    }
}

void CatalogueWatch::changed() {
    for (const QString& file : std::as_const(_files)) {
        if (identityOf(file).size >= 0) {
            watch(file);
        }
    }
    std::vector<Identity> now = identities();
    if (now == _identities || now.front().size < 0) {
        return; // another file changed, or the new catalogue is not in place yet
    }
    _identities = std::move(now);
    _replaced();
}
