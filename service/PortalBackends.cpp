#include "service/PortalBackends.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kFileChooser = QStringLiteral("org.freedesktop.impl.portal.FileChooser");

struct Backend {
    QString name; // the file name without ".portal"
    QString busName;
    QStringList useIn;
};

// The "key=value" lines of one section of a desktop-style key file.
QHash<QString, QString> readSection(const QString& path, const QString& section) {
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024) {
        return values;
    }
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line == QLatin1Char('[') + section + QLatin1Char(']');
        } else if (inSection && !line.startsWith(QLatin1Char('#'))) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals > 0) {
                values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
            }
        }
    }
    return values;
}

QStringList list(const QString& value) {
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

QStringList currentDesktops() {
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

// Every other file chooser backend, by file name.
QList<Backend> otherBackends(const QString& ourBusName) {
    QList<Backend> backends;
    QStringList seen;
    for (const QString& folder : PortalBackends::portalFolders()) {
        for (const QString& file :
             QDir(folder).entryList({QStringLiteral("*.portal")}, QDir::Files, QDir::Name)) {
            const QString name = file.chopped(7);
            if (seen.contains(name)) {
                continue; // an earlier folder's file of that name wins
            }
            seen.append(name);
            const QHash<QString, QString> portal =
                readSection(QDir(folder).filePath(file), QStringLiteral("portal"));
            const QString busName = portal.value(QStringLiteral("DBusName"));
            if (busName.isEmpty() || busName == ourBusName ||
                !list(portal.value(QStringLiteral("Interfaces"))).contains(kFileChooser)) {
                continue;
            }
            backends.append({name, busName, list(portal.value(QStringLiteral("UseIn")))});
        }
    }
    std::sort(backends.begin(), backends.end(),
              [](const Backend& a, const Backend& b) { return a.name < b.name; });
    return backends;
}

// The backends a portals.conf prefers for the file chooser, in its order;
// empty when no such file exists or it names none. The first folder that
// holds a file wins, in it the desktop's own file before the common one.
QStringList preferredInConfiguration() {
    QStringList folders;
    const QString override = qEnvironmentVariable("XDG_DESKTOP_PORTAL_DIR");
    if (!override.isEmpty()) {
        folders << override;
    } else {
        for (const QString& config :
             QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
            folders << config + QStringLiteral("/xdg-desktop-portal");
        }
        folders << QStringLiteral("/etc/xdg-desktop-portal");
        for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
            folders << data + QStringLiteral("/xdg-desktop-portal");
        }
    }
    QStringList names;
    for (const QString& desktop : currentDesktops()) {
        names << desktop.toLower() + QStringLiteral("-portals.conf");
    }
    names << QStringLiteral("portals.conf");
    for (const QString& folder : folders) {
        for (const QString& name : names) {
            const QString path = folder + QLatin1Char('/') + name;
            if (!QFile::exists(path)) {
                continue;
            }
            const QHash<QString, QString> preferred = readSection(path, QStringLiteral("preferred"));
            return list(preferred.value(kFileChooser, preferred.value(QStringLiteral("default"))));
        }
    }
    return {};
}

} // namespace

QStringList PortalBackends::portalFolders() {
    const QString override = qEnvironmentVariable("XDG_DESKTOP_PORTAL_DIR");
    if (!override.isEmpty()) {
        return {override};
    }
    QStringList folders;
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        folders << data + QStringLiteral("/xdg-desktop-portal/portals");
    }
    return folders;
}

QString PortalBackends::otherFileChooser(const QString& ourBusName) {
    const QList<Backend> backends = otherBackends(ourBusName);
    if (backends.isEmpty()) {
        return {};
    }
    for (const QString& preferred : preferredInConfiguration()) {
        if (preferred == QLatin1String("none")) {
            return {};
        }
        for (const Backend& backend : backends) {
            if (preferred == QLatin1String("*") || preferred == backend.name) {
                return backend.busName;
            }
        }
    }
    for (const QString& desktop : currentDesktops()) {
        for (const Backend& backend : backends) {
            for (const QString& useIn : backend.useIn) {
                if (useIn.compare(desktop, Qt::CaseInsensitive) == 0) {
                    return backend.busName;
                }
            }
        }
    }
    return backends.first().busName;
}
