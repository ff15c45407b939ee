#include "model/FolderWatcher.h"

#include <QDebug>

#include <algorithm>

FolderWatcher& FolderWatcher::shared() {
    static FolderWatcher* watcher = new FolderWatcher(); // lives until the process ends
    return *watcher;
}

FolderWatcher::FolderWatcher() {
    connect(&_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderWatcher::directoryChanged);
    connect(&_watcher, &QFileSystemWatcher::fileChanged, this, &FolderWatcher::directoryChanged);
}

bool FolderWatcher::watch(const QString& directory, const void* owner, std::function<void()> changed) {
    auto found = _directories.find(directory);
    if (found != _directories.end() && !_watcher.files().contains(directory) &&
        !_watcher.directories().contains(directory)) {
        // A watched file was removed or replaced, which ends its watch: the
        // file now at the path is watched anew.
        if (!_watcher.addPath(directory)) {
            return false;
        }
    }
    if (found == _directories.end()) {
        const bool refused = _limit >= 0 && _directories.size() >= static_cast<std::size_t>(_limit);
        if (refused || !_watcher.addPath(directory)) {
            if (!_limitLogged) {
                _limitLogged = true;
                qDebug("Folder watching unavailable for %s (watch limit reached?): folders from here on are "
                       "not followed live",
                       qPrintable(directory));
            }
            return false;
        }
        found = _directories.emplace(directory, Directory()).first;
        found->second.timer = std::make_unique<QTimer>();
        found->second.timer->setSingleShot(true);
        connect(found->second.timer.get(), &QTimer::timeout, this, [this, directory] { report(directory); });
    }
    found->second.owners.insert(owner, std::move(changed));
    return true;
}

void FolderWatcher::unwatch(const QString& directory, const void* owner) {
    const auto found = _directories.find(directory);
    if (found == _directories.end()) {
        return;
    }
    found->second.owners.remove(owner);
    if (found->second.owners.isEmpty()) {
        _watcher.removePath(directory);
        _directories.erase(found);
    }
}

void FolderWatcher::directoryChanged(const QString& directory) {
    const auto found = _directories.find(directory);
    if (found == _directories.end()) {
        return;
    }
    // Wait for the burst to settle, but not past its deadline.
    Directory& watched = found->second;
    if (!watched.timer->isActive()) {
        watched.burst.start();
    }
    const qint64 left = latestMs - watched.burst.elapsed();
    watched.timer->start(static_cast<int>(std::max<qint64>(0, std::min<qint64>(quietMs, left))));
}

void FolderWatcher::report(const QString& directory) {
    const auto found = _directories.find(directory);
    if (found == _directories.end()) {
        return;
    }
    // A callback may unwatch (a folder going away): call copies.
    const QList<std::function<void()>> callbacks = found->second.owners.values();
    for (const auto& changed : callbacks) {
        changed();
    }
}
