#include "platform/system/InotifyWatcher.h"

#include "platform/system/Path.h"

#include <cerrno>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Entries added, removed or renamed; a file written and closed, or touched;
// the directory itself going.
constexpr uint32_t kDirectoryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                      IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Written (also while it stays open, as databases are), touched, or going.
constexpr uint32_t kFileEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
// The watch is over: the kernel sends IN_IGNORED after each of these.
constexpr uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

} // namespace

InotifyWatcher::InotifyWatcher(QObject* parent)
    : QObject(parent)
    , _fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (_fd >= 0) {
        _notifier = std::make_unique<QSocketNotifier>(_fd, QSocketNotifier::Read);
        connect(_notifier.get(), &QSocketNotifier::activated, this, &InotifyWatcher::readEvents);
    }
}

InotifyWatcher::~InotifyWatcher() {
    _notifier.reset();
    if (_fd >= 0) {
        ::close(_fd);
    }
}

bool InotifyWatcher::addPath(const QString& path) {
    if (_fd < 0 || _wdOfPath.contains(path)) {
        return _wdOfPath.contains(path);
    }
    const QByteArray native = Path::toNative(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        return false;
    }
    const int wd =
        inotify_add_watch(_fd, native.constData(), S_ISDIR(info.st_mode) ? kDirectoryEvents : kFileEvents);
    if (wd < 0) {
        return false;
    }
    _wdOfPath.insert(path, wd);
    _pathsOfWd.insert(wd, path);
    return true;
}

void InotifyWatcher::removePath(const QString& path) {
    const auto found = _wdOfPath.find(path);
    if (found == _wdOfPath.end()) {
        return;
    }
    const int wd = *found;
    _wdOfPath.erase(found);
    _pathsOfWd.remove(wd, path);
    if (!_pathsOfWd.contains(wd)) {
        inotify_rm_watch(_fd, wd);
    }
}

void InotifyWatcher::dropWatch(int wd) {
    for (const QString& path : _pathsOfWd.values(wd)) {
        _wdOfPath.remove(path);
    }
    _pathsOfWd.remove(wd);
}

void InotifyWatcher::readEvents() {
    // Each path reported once per read, however many events name it.
    QList<QString> changedPaths;
    bool overflowed = false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(_fd, buffer, sizeof buffer);
        if (length <= 0) {
            break; // EAGAIN: nothing more for now
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                overflowed = true;
                continue;
            }
            for (const QString& path : _pathsOfWd.values(event->wd)) {
                if (!changedPaths.contains(path)) {
                    changedPaths.append(path);
                }
            }
            if (event->mask & kGone) {
                dropWatch(event->wd);
            }
        }
    }
    if (overflowed) {
        // Events were lost: everything followed may have changed.
        for (auto it = _wdOfPath.cbegin(); it != _wdOfPath.cend(); ++it) {
            if (!changedPaths.contains(it.key())) {
                changedPaths.append(it.key());
            }
        }
    }
    for (const QString& path : std::as_const(changedPaths)) {
        Q_EMIT changed(path);
    }
}
