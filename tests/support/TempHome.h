#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary home directory for one test: HOME, XDG_CONFIG_HOME,
// XDG_CACHE_HOME and XDG_DATA_HOME point into it while the object lives, so no test reads or
// writes the real user's files.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString path() const { return _dir.path(); }
    // Absolute path of a file or directory below the home.
    QString file(const QString& relative) const;
    // Creates a directory (and its parents) below the home; answers its path.
    QString makeDirectory(const QString& relative) const;
    // Writes a file below the home (making parent directories); answers its path.
    QString writeFile(const QString& relative, const QByteArray& contents = {}) const;

private:
    QTemporaryDir _dir;
    QByteArray _oldHome;
    QByteArray _oldConfig;
    QByteArray _oldCache;
    QByteArray _oldData;
};
