#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Follows what one source is read from, for the folder that reads it, from
// before its first read on (so that nothing changed during a read is lost).
//
// Directories are followed for their entries: any change counts. Files are
// followed for their contents and for being replaced (applications that save
// by writing a new file and renaming it over the old one; databases written
// in place, their "-wal" file too): a change counts when a file's identity
// (inode, size, modification time) differs from the one last seen. The first
// file is the catalogue itself: while it is missing (between removal and
// renaming), nothing is reported.
//
// What the kernel stops following (a directory or file removed, moved away,
// replaced, unmounted) is followed anew where it is now after each change,
// and what is missing is waited for through the nearest directory above it
// that exists, so that a directory put back, a disk mounted again or a sync
// tool's swap keeps the source live. Bursts arrive coalesced (FolderWatcher).
class SourceWatch {
public:
    struct Targets {
        QStringList directories;
        QStringList files;
        bool isEmpty() const { return directories.isEmpty() && files.isEmpty(); }
    };

    SourceWatch() = default;
    ~SourceWatch();
    SourceWatch(const SourceWatch&) = delete;
    SourceWatch& operator=(const SourceWatch&) = delete;

    // Starts following targets (once); changed runs on the main thread.
    void start(Targets targets, std::function<void()> changed);
    bool isStarted() const { return _started; }

private:
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1; // -1: nothing there
        qint64 modified = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity identityOf(const QString& path);
    std::vector<Identity> identities() const;
    // Watches what is to be watched now, and stops watching what is not.
    void arm();
    void pathChanged(const QString& path);

    Targets _targets;
    QStringList _watched;
    std::vector<Identity> _identities; // of the directories, then the files
    std::function<void()> _changed;
    bool _started = false;
};
