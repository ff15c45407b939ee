#include "platform/system/SlowFileSystems.h"

#include "platform/system/Path.h"

#include <QElapsedTimer>
#include <QFile>

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
struct MountTable {
    std::mutex mutex;
    std::vector<QString> slowMountPoints;
    QElapsedTimer age;
};

// A mount point as mountinfo writes it: spaces, tabs, new lines and
// backslashes as three-digit octal escapes.
QString unescaped(const QByteArray& field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3') {
            bytes.append(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                           (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return Path::fromNative(bytes);
}

std::vector<QString> readSlowMountPoints() {
    std::vector<QString> points;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly)) {
        return points;
    }
    // "id parent major:minor root mountpoint options [optional...] - type source superoptions"
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (fields.size() < 5 || separator < 0 || separator + 1 >= fields.size()) {
            continue;
        }
        if (isSlowType(QString::fromLatin1(fields[separator + 1]))) {
            points.push_back(unescaped(fields[4]));
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
    static MountTable table;
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
