#include "SlowMount.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

// Whether the kernel lists a FUSE mount at path.
bool isMounted(const QString& path) {
    QFile table(QStringLiteral("/proc/self/mounts"));
    if (!table.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray wanted = QFile::encodeName(path);
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 2 && fields[1] == wanted && fields[2].startsWith("fuse")) {
            return true;
        }
    }
    return false;
}

void unmount(const QString& path) {
    QProcess::execute(QStringLiteral("fusermount3"), {QStringLiteral("-u"), QStringLiteral("-z"), path});
}

} // namespace

SlowMount::SlowMount(const QString& source, int delayMs, const QString& kinds)
    : _mountPoint(QStringLiteral("/tmp/qvmb-bench/slow-mount-%1").arg(QCoreApplication::applicationPid())) {
    if (isMounted(_mountPoint)) {
        unmount(_mountPoint);
    }
    QDir().mkpath(_mountPoint);
    _server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    _server.start(QStringLiteral(QVMB_SLOW_MOUNT_PROGRAM),
                  {QStringLiteral("--delay-ms"), QString::number(delayMs), QStringLiteral("--on"), kinds,
                   source, _mountPoint});
    for (int i = 0; i < 100 && !isMounted(_mountPoint); ++i) {
        if (_server.waitForFinished(50)) {
            break;
        }
    }
    if (!isMounted(_mountPoint)) {
        std::fprintf(stderr, "cannot mount %s on %s (is /dev/fuse usable?)\n", qPrintable(source),
                     qPrintable(_mountPoint));
        std::exit(1);
    }
}

SlowMount::~SlowMount() {
    unmount(_mountPoint);
    if (!_server.waitForFinished(5000)) {
        _server.kill();
        _server.waitForFinished();
    }
    QDir().rmdir(_mountPoint);
}
