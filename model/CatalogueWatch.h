#pragma once

#include "platform/Export.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Follows the files of one catalogue for the folder that read it. Some
// applications save their catalogues by writing a new file and renaming it
// over the old one: the files' directories are watched for that. Databases
// are written in place, their "-wal" file too: the files themselves are
// watched for that, including a file that appears later. A change counts
// when the files' identities (inode, size, modification time) differ from
// the ones last seen; bursts of writes arrive coalesced (see FolderWatcher).
class CatalogueWatch {
public:
    CatalogueWatch() = default;
    ~CatalogueWatch();
    CatalogueWatch(const CatalogueWatch&) = delete;
    CatalogueWatch& operator=(const CatalogueWatch&) = delete;

    // Starts following files (once); replaced runs on the main thread. The
    // first file is the catalogue itself: while it is missing (between
    // removal and renaming), nothing is reported.
    void start(const QStringList& files, std::function<void()> replaced);
    void start(const QString& file, std::function<void()> replaced) { start(QStringList{file}, replaced); }

private:
    struct Identity {
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity identityOf(const QString& file);
    std::vector<Identity> identities() const;
    void watch(const QString& path);
    void changed();

    QStringList _files;
    QStringList _watched;
    std::vector<Identity> _identities;
    std::function<void()> _replaced;
    bool _started = false;
};
