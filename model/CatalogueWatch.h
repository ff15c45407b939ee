#pragma once

#include "platform/Export.h"

#include <QString>

#include <functional>

// Follows one catalogue file for the folder that read it. Applications save
// their catalogues by writing a new file and renaming it over the old one, so
// the file's directory is watched and a change counts when the file's
// identity (inode, size, modification time) differs from the one last read.
class CatalogueWatch {
public:
    CatalogueWatch() = default;
    ~CatalogueWatch();
    CatalogueWatch(const CatalogueWatch&) = delete;
    CatalogueWatch& operator=(const CatalogueWatch&) = delete;

    // Starts following file (once); replaced runs on the main thread.
    void start(const QString& file, std::function<void()> replaced);

private:
    struct Identity {
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity identityOf(const QString& file);
    void directoryChanged();

    QString _file;
    QString _directory;
    Identity _identity;
    std::function<void()> _replaced;
    bool _watching = false;
};
