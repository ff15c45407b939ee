#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempHome::TempHome()
    : _oldHome(qgetenv("HOME"))
    , _oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , _oldCache(qgetenv("XDG_CACHE_HOME"))
    , _oldData(qgetenv("XDG_DATA_HOME")) {
    qputenv("HOME", QFile::encodeName(_dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(_dir.path() + QStringLiteral("/.config")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(_dir.path() + QStringLiteral("/.cache")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(_dir.path() + QStringLiteral("/.local/share")));
}

TempHome::~TempHome() {
    qputenv("HOME", _oldHome);
    qputenv("XDG_CONFIG_HOME", _oldConfig);
    qputenv("XDG_CACHE_HOME", _oldCache);
    qputenv("XDG_DATA_HOME", _oldData);
}

QString TempHome::file(const QString& relative) const {
    return _dir.path() + QLatin1Char('/') + relative;
}

QString TempHome::makeDirectory(const QString& relative) const {
    const QString path = file(relative);
    QDir().mkpath(path);
    return path;
}

QString TempHome::writeFile(const QString& relative, const QByteArray& contents) const {
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(contents);
    }
    return path;
}
