#pragma once

#include "platform/system/MountTable.h"

#include <QString>

#include <vector>

// Folders that a catalogue made on another system names by that system's
// paths ("C:/Users/…", "//server/share/…", "/Volumes/Disk/…"), found among
// the disks and shares mounted here.
class ForeignPaths {
public:
    // Where a folder of the catalogue lies here.
    struct Folder {
        // The folder's path here when found; otherwise the location to show:
        // a network URL ("smb://server/share/…") or the path as written.
        QString location;
        bool found = false;
    };

    explicit ForeignPaths(std::vector<MountTable::Mount> mounts);
    // With the mounts this process sees.
    static ForeignPaths ofThisSystem();

    // The folder at location (a directory path in the catalogue's own form).
    // Linux paths that exist stay as they are. A Windows drive path is looked
    // for below each Windows file system mounted here (and below each share);
    // a server's share in the shares mounted here, by the kernel or the
    // desktop; a Mac volume among the mount points of its name.
    Folder find(const QString& location) const;

private:
    Folder onDrive(QStringView rest) const;
    Folder onShare(const QString& server, const QString& share, QStringView rest) const;
    Folder onVolume(const QString& volume, QStringView rest) const;

    std::vector<MountTable::Mount> _mounts;
};
