#include "support/TempHome.h"

#include "model/FolderLoad.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

TempHome::TempHome()
    : _oldHome(qgetenv("HOME"))
    , _oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , _oldCache(qgetenv("XDG_CACHE_HOME"))
    , _oldData(qgetenv("XDG_DATA_HOME")) {
    // The folder loaders read the environment (the MIME database's folders,
    // the user's cache) and a load an earlier test left may still run: the
    // environment changes only while they are idle.
    FolderLoadJob::waitForIdle();
    qputenv("HOME", QFile::encodeName(_dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(_dir.path() + QStringLiteral("/.config")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(_dir.path() + QStringLiteral("/.cache")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(_dir.path() + QStringLiteral("/.local/share")));
    // QSettings works its user folder out once per process: the host
    // application's settings (window frames, the remembered place) are this
    // home's too, not those another test of the process left.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       _dir.path() + QStringLiteral("/.config"));
}

TempHome::~TempHome() {
    FolderLoadJob::waitForIdle();
    qputenv("HOME", _oldHome);
    qputenv("XDG_CONFIG_HOME", _oldConfig);
    qputenv("XDG_CACHE_HOME", _oldCache);
    qputenv("XDG_DATA_HOME", _oldData);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QFile::decodeName(_oldConfig));
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
