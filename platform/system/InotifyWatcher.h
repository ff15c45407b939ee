#pragma once

#include <QHash>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

// The kernel's file notification (inotify) for the paths the browser follows,
// with what a media browser needs to hear and Qt's own watcher leaves out: a
// file written in place inside a watched directory (closed after writing, or
// touched), and a watched directory moved away. Reports come on the thread
// that made the watcher, one per event, naming the watched path.
//
// The kernel ends a watch when its directory or file is removed, moved away
// or unmounted: the watcher then drops the path (isWatched() answers false) and
// reports it once more, so that its owner can watch whatever is at the path now.
class InotifyWatcher : public QObject {
    Q_OBJECT
public:
    explicit InotifyWatcher(QObject* parent = nullptr);
    ~InotifyWatcher() override;

    // Follows path: a directory for its entries (added, removed, renamed,
    // written, touched) and for itself going; a file for its contents, its
    // attributes and its going. False when the kernel refuses (the watch
    // limit, a path that is not there).
    bool addPath(const QString& path);
    void removePath(const QString& path);
    bool isWatched(const QString& path) const { return _wdOfPath.contains(path); }

Q_SIGNALS:
    void changed(const QString& path);

private:
    void readEvents();
    void dropWatch(int wd);

    int _fd = -1;
    std::unique_ptr<QSocketNotifier> _notifier;
    QHash<QString, int> _wdOfPath;
    QMultiHash<int, QString> _pathsOfWd; // one inode may be watched under several paths
};
