#pragma once

#include "platform/Export.h"
#include "platform/system/InotifyWatcher.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <unordered_map>

// Follows directories and files for the sources that read them, through one
// inotify instance for the whole process. A change is reported once things
// settle (quietMs without news) and never later than latestMs after the first
// change of a burst, so a camera import of thousands of files gives a few
// updates, not thousands.
//
// The kernel ends a watch when its directory or file is removed, moved away or
// unmounted; watching the path again (watch()) then follows whatever is there
// now. When the kernel refuses more watches, folders keep working without
// following their directories; this is said once in the debug log.
//
// Owned by the application object (a host that makes a second one after the
// first is gone gets a new watcher).
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int quietMs = 200;
    static constexpr int latestMs = 700;

    static FolderWatcher& shared();

    // Calls changed on the main thread after the entries of directory change
    // (for a file: its contents or its being removed or replaced); false when
    // it cannot be watched. One watch per owner and path; watching again
    // replaces the callback and follows the path anew if its watch ended.
    bool watch(const QString& path, const void* owner, std::function<void()> changed);
    void unwatch(const QString& path, const void* owner);

    // Refuses watches beyond this many, as the kernel does at its limit
    // (negative: only the kernel's limit).
    void setWatchLimit(int limit) { _limit = limit; }
    int watchCount() const { return static_cast<int>(_directories.size()); }

private:
    struct Directory {
        QHash<const void*, std::function<void()>> owners;
        std::unique_ptr<QTimer> timer;
        QElapsedTimer burst;
    };

    explicit FolderWatcher(QObject* parent);
    void directoryChanged(const QString& directory);
    void report(const QString& directory);

    InotifyWatcher _watcher;
    std::unordered_map<QString, Directory> _directories;
    int _limit = -1;
    bool _limitLogged = false;
};
