#include "platform/system/SlowFileSystems.h"

#include "platform/system/MountTable.h"
#include "platform/system/Path.h"

#include <QElapsedTimer>

#include <mutex>
#include <vector>

namespace SlowFileSystems {

namespace {

// The mount table is read again at most this often.
constexpr qint64 kRefreshMs = 3000;

const QLatin1String kNetworkTypes[] = {
    QLatin1String("nfs"),       QLatin1String("nfs4"),   QLatin1String("cifs"),     QLatin1String("smb3"),
    QLatin1String("smbfs"),     QLatin1String("9p"),     QLatin1String("afs"),      QLatin1String("ceph"),
    QLatin1String("glusterfs"), QLatin1String("lustre"), QLatin1String("davfs"),    QLatin1String("ncpfs"),
    QLatin1String("coda"),      QLatin1String("sshfs"),  QLatin1String("virtiofs"), QLatin1String("beegfs"),
    QLatin1String("gpfs"),      QLatin1String("ocfs2"),  QLatin1String("gfs2"),
};

// The mount points of slow file systems, as the kernel lists them.
struct SlowMounts {
    std::mutex mutex;
    std::vector<QString> slowMountPoints;
    QElapsedTimer age;
};

std::vector<QString> readSlowMountPoints() {
    std::vector<QString> points;
    for (const MountTable::Mount& mount : MountTable::mounts()) {
        if (isSlowType(mount.type)) {
            points.push_back(mount.mountPoint);
        }
    }
    return points;
}

bool isBelow(const QString& path, const QString& folder) {
    if (folder == QLatin1String("/")) {
        return true;
    }
    return path.startsWith(folder) &&
           (path.size() == folder.size() || path.at(folder.size()) == QLatin1Char('/'));
}

bool isInSlowPlace(const QString& path) {
    static const QString places[] = {QStringLiteral("/media"), QStringLiteral("/run/media"),
                                     QStringLiteral("/mnt")};
    for (const QString& place : places) {
        if (isBelow(path, place)) {
            return true;
        }
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && isBelow(path, runtime + QStringLiteral("/gvfs"));
}

} // namespace

bool isSlowType(const QString& type) {
    if (type.startsWith(QLatin1String("fuse"))) {
        return true; // fuse, fuseblk, fuse.sshfs, fuse.gvfsd-fuse...
    }
    for (const QLatin1String& network : kNetworkTypes) {
        if (type == network) {
            return true;
        }
    }
    return false;
}

bool isSlow(const QString& path) {
    const QString absolute = Path::expandTilde(path);
    if (isInSlowPlace(absolute)) {
        return true;
    }
    static SlowMounts table;
    std::lock_guard lock(table.mutex);
    if (!table.age.isValid() || table.age.elapsed() > kRefreshMs) {
        table.slowMountPoints = readSlowMountPoints();
        table.age.start();
    }
    for (const QString& point : table.slowMountPoints) {
        if (isBelow(absolute, point)) {
            return true;
        }
    }
    return false;
}

} // namespace SlowFileSystems
