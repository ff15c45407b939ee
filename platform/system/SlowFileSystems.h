#pragma once

#include <QString>

// File systems where every access may wait on a network or a sleeping disk:
// network file systems (NFS, SMB/CIFS, 9p, AFS, Ceph, GlusterFS...), FUSE
// ones (gvfs's folder of the desktop's mounts, sshfs, rclone...), and the
// places where removable and network media are mounted (/media, /run/media,
// /mnt, $XDG_RUNTIME_DIR/gvfs). Work that would be instant on a local disk
// (a stat, a header read) is kept off the main thread there.
namespace SlowFileSystems {

// Whether path lies on such a file system. Decided from the path and from
// the kernel's table of mounts (/proc/self/mounts, read again every few
// seconds): the file system itself is never touched, so the answer comes at
// once even when the server behind it hangs.
bool isSlow(const QString& path);

// Whether a file system type from the mount table is a network or FUSE one.
bool isSlowType(const QString& type);

} // namespace SlowFileSystems
