#include "model/CatalogueWatch.h"

#include "model/FolderWatcher.h"
#include "platform/system/Path.h"

#include <sys/stat.h>

CatalogueWatch::~CatalogueWatch() {
    if (_watching) {
        FolderWatcher::shared().unwatch(_directory, this);
    }
}

void CatalogueWatch::start(const QString& file, std::function<void()> replaced) {
    if (_watching) {
        return;
    }
    _file = file;
    const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
    _directory = slash > 0 ? file.left(slash) : QStringLiteral("/");
    _identity = identityOf(file);
    _replaced = std::move(replaced);
    _watching = FolderWatcher::shared().watch(_directory, this, [this] { directoryChanged(); });
}

CatalogueWatch::Identity CatalogueWatch::identityOf(const QString& file) {
    struct stat info {};
    if (::stat(Path::toNative(file).constData(), &info) != 0) {
        return {};
    }
    return {static_cast<quint64>(info.st_ino), static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

void CatalogueWatch::directoryChanged() {
    const Identity now = identityOf(_file);
    if (now == _identity || now.size < 0) {
        return; // another file changed, or the new catalogue is not in place yet
    }
    _identity = now;
    _replaced();
}
