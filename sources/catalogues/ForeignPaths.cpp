#include "sources/catalogues/ForeignPaths.h"

#include "platform/system/FileSystem.h"
#include "platform/system/UserDirectories.h"

#include <QSet>

#include <unistd.h>

namespace {

bool isWindowsFileSystem(const QString& type) {
    static const QSet<QString> types = {
        QStringLiteral("ntfs"),  QStringLiteral("ntfs3"), QStringLiteral("fuseblk"), QStringLiteral("vfat"),
        QStringLiteral("exfat"), QStringLiteral("msdos"), QStringLiteral("cifs"),    QStringLiteral("smb3")};
    return types.contains(type);
}

bool isShare(const QString& type) {
    return type == QLatin1String("cifs") || type == QLatin1String("smb3");
}

QString joined(const QString& directory, QStringView rest) {
    QString path = directory;
    while (path.endsWith(QLatin1Char('/')) && path.size() > 1) {
        path.chop(1);
    }
    return rest.isEmpty() ? path : path + QLatin1Char('/') + rest.toString();
}

} // namespace

ForeignPaths::ForeignPaths(std::vector<MountTable::Mount> mounts)
    : _mounts(std::move(mounts)) {
}

ForeignPaths ForeignPaths::ofThisSystem() {
    return ForeignPaths(MountTable::mounts());
}

ForeignPaths::Folder ForeignPaths::find(const QString& location) const {
    QString path = location;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringView rest(path);
    while (rest.endsWith(u'/') && rest.size() > 1) {
        rest.chop(1);
    }
    if (rest.startsWith(u"//")) {
        const QList<QStringView> parts = rest.mid(2).split(u'/');
        if (parts.size() >= 2 && !parts[0].isEmpty() && !parts[1].isEmpty()) {
            const qsizetype restStart = 2 + parts[0].size() + 1 + parts[1].size() + 1;
            return onShare(parts[0].toString(), parts[1].toString(),
                           restStart < rest.size() ? rest.mid(restStart) : QStringView());
        }
        return {path, false};
    }
    if (rest.size() >= 2 && rest[1] == u':' && rest[0].isLetter()) {
        const Folder found = onDrive(rest.size() > 3 ? rest.mid(3) : QStringView());
        return found.found ? found : Folder{path, false};
    }
    if (rest.startsWith(u'/')) {
        if (FileSystem::isDirectory(rest.toString())) {
            return {rest.toString(), true};
        }
        if (rest.startsWith(u"/Volumes/")) {
            const QStringView afterVolumes = rest.mid(9);
            const qsizetype slash = afterVolumes.indexOf(u'/');
            const QString volume = (slash < 0 ? afterVolumes : afterVolumes.left(slash)).toString();
            const Folder found = onVolume(volume, slash < 0 ? QStringView() : afterVolumes.mid(slash + 1));
            if (found.found) {
                return found;
            }
        }
        return {rest.toString(), false};
    }
    return {path, false};
}

ForeignPaths::Folder ForeignPaths::onDrive(QStringView rest) const {
    // Which drive letter a disk had under Windows is not kept on the disk:
    // the drive is the mounted Windows file system that holds the folder.
    for (const MountTable::Mount& mount : _mounts) {
        if (isWindowsFileSystem(mount.type)) {
            const QString candidate = joined(mount.mountPoint, rest);
            if (FileSystem::isDirectory(candidate)) {
                return {candidate, true};
            }
        }
    }
    return {};
}

ForeignPaths::Folder ForeignPaths::onShare(const QString& server, const QString& share,
                                           QStringView rest) const {
    const QString source = QStringLiteral("//%1/%2").arg(server, share);
    for (const MountTable::Mount& mount : _mounts) {
        if (isShare(mount.type) && mount.source.compare(source, Qt::CaseInsensitive) == 0) {
            const QString candidate = joined(mount.mountPoint, rest);
            if (FileSystem::isDirectory(candidate)) {
                return {candidate, true};
            }
        }
    }
    // The desktop's own mounts of shares (gvfs), one directory per share.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString gvfs = (runtime.isEmpty() ? QStringLiteral("/run/user/%1").arg(::getuid())
                                            : QString::fromLocal8Bit(runtime)) +
                         QStringLiteral("/gvfs");
    const QString wanted = QStringLiteral("smb-share:server=%1,share=%2").arg(server, share);
    QString match;
    FileSystem::forEachEntry(gvfs, [&](const FileSystem::DirectoryEntry& entry) {
        if (entry.name.compare(wanted, Qt::CaseInsensitive) == 0 ||
            entry.name.startsWith(wanted + QLatin1Char(','), Qt::CaseInsensitive)) {
            match = gvfs + QLatin1Char('/') + entry.name;
            return false;
        }
        return true;
    });
    if (!match.isNull() && FileSystem::isDirectory(joined(match, rest))) {
        return {joined(match, rest), true};
    }
    return {QStringLiteral("smb://%1/%2").arg(server, share) +
                (rest.isEmpty() ? QString() : QLatin1Char('/') + rest.toString()),
            false};
}

ForeignPaths::Folder ForeignPaths::onVolume(const QString& volume, QStringView rest) const {
    for (const MountTable::Mount& mount : _mounts) {
        if (mount.mountPoint.endsWith(QLatin1Char('/') + volume)) {
            const QString candidate = joined(mount.mountPoint, rest);
            if (FileSystem::isDirectory(candidate)) {
                return {candidate, true};
            }
        }
    }
    return {};
}
