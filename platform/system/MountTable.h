#pragma once

#include <QString>

#include <vector>

// The file systems mounted for this process, as the kernel lists them
// (/proc/self/mounts): for finding where a disk or share that another system
// named (a Windows drive, a Mac volume, a server's share) appears here.
namespace MountTable {

struct Mount {
    QString source;     // the device or share ("/dev/sdb1", "//server/share")
    QString mountPoint; // where it appears
    QString type;       // the file system type ("ntfs3", "cifs")
};

// The mounts, in the kernel's order; empty when the table cannot be read.
std::vector<Mount> mounts();
// The same, from a table's text (for tests).
std::vector<Mount> parse(const QByteArray& table);

} // namespace MountTable
