#pragma once

#include <QProcess>
#include <QString>

// A folder served through qvmb-slow-mount, the FUSE pass-through that waits
// before each request of the given kinds, as a far network disk does: mounted
// while this object lives. The benchmark stops when the mount cannot be made.
class SlowMount {
public:
    // Serves source at a mount point of its own below /tmp/qvmb-bench;
    // kinds is the program's --on list ("open", "open,opendir,readdir,getattr").
    SlowMount(const QString& source, int delayMs, const QString& kinds);
    ~SlowMount();
    SlowMount(const SlowMount&) = delete;
    SlowMount& operator=(const SlowMount&) = delete;

    // Where source's files appear, slowly.
    QString path() const { return _mountPoint; }

private:
    QString _mountPoint;
    QProcess _server;
};
