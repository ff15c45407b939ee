#include "model/FolderWatcher.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>

#include <algorithm>

FolderWatcher& FolderWatcher::shared() {
    static QPointer<FolderWatcher> watcher;
    static FolderWatcher* withoutApplication = nullptr;
    if (!watcher) {
        if (QCoreApplication::instance() == nullptr) {
            if (withoutApplication == nullptr) {
                withoutApplication = new FolderWatcher(nullptr); // never reports: no event loop
            }
            return *withoutApplication;
        }
        watcher = new FolderWatcher(QCoreApplication::instance());
    }
    return *watcher;
}

FolderWatcher::FolderWatcher(QObject* parent)
    : QObject(parent) {
    connect(&_watcher, &InotifyWatcher::changed, this, &FolderWatcher::directoryChanged);
}

bool FolderWatcher::watch(const QString& path, const void* owner, std::function<void()> changed) {
    auto found = _directories.find(path);
    if (found != _directories.end() && !_watcher.isWatched(path)) {
        // The kernel ended the watch (the directory or file went): follow
        // whatever is at the path now.
        if (!_watcher.addPath(path)) {
            return false;
        }
    }
    if (found == _directories.end()) {
        const bool refused = _limit >= 0 && _directories.size() >= static_cast<std::size_t>(_limit);
        if (refused || !_watcher.addPath(path)) {
            if (refused && !_limitLogged) {
                _limitLogged = true;
                qDebug("Folder watching unavailable for %s (watch limit reached?): folders from here on are "
                       "not followed live",
                       qPrintable(path));
            }
            return false;
        }
        found = _directories.emplace(path, Directory()).first;
        found->second.timer = std::make_unique<QTimer>();
        found->second.timer->setSingleShot(true);
        connect(found->second.timer.get(), &QTimer::timeout, this, [this, path] { report(path); });
    }
    found->second.owners.insert(owner, std::move(changed));
    return true;
}

void FolderWatcher::unwatch(const QString& path, const void* owner) {
    const auto found = _directories.find(path);
    if (found == _directories.end()) {
        return;
    }
    found->second.owners.remove(owner);
    if (found->second.owners.isEmpty()) {
        _watcher.removePath(path);
        _directories.erase(found);
    }
}

void FolderWatcher::directoryChanged(const QString& directory) {
    const auto found = _directories.find(directory);
    if (found == _directories.end()) {
        return;
    }
    Directory& watched = found->second;
    // Wait for the burst to settle, but not past its deadline.
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
    // A path the kernel stopped following (removed, moved away, unmounted)
    // was dropped as it was reported: owners watch it again (watch()).
    // A callback may unwatch (a folder going away): call copies.
    const QList<std::function<void()>> callbacks = found->second.owners.values();
    for (const auto& changed : callbacks) {
        changed();
    }
}
