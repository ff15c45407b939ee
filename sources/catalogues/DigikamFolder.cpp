#include "sources/catalogues/DigikamFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"

#include <QFile>

namespace {

// A value of a setting in a KDE configuration file: key=value under [group].
QString settingValue(const QByteArray& file, const QByteArray& group, const QByteArray& key) {
    bool inGroup = false;
    for (const QByteArray& rawLine : file.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[" + group + "]";
        } else if (inGroup && line.startsWith(key + '=')) {
            return Path::fromNative(line.mid(key.size() + 1).trimmed());
        }
    }
    return {};
}

} // namespace

void DigikamFolder::addToRoots(const CatalogueRoots& roots) {
    const QString database = databasePath();
    if (database.isNull()) {
        return;
    }
    if (roots.photos != nullptr) {
        roots.photos->addFolder(
            std::make_shared<DigikamFolder>(QStringLiteral("digiKam"), database, Media::Pictures));
    }
    if (roots.movies != nullptr) {
        roots.movies->addFolder(
            std::make_shared<DigikamFolder>(QStringLiteral("digiKam"), database, Media::Movies));
    }
}

QString DigikamFolder::databasePath() {
    QString directory;
    QFile settings(UserDirectories::configHome() + QStringLiteral("/digikamrc"));
    if (FileSystem::isRegularFile(settings.fileName()) && settings.open(QIODevice::ReadOnly)) {
        const QByteArray text = settings.read(1024 * 1024);
        const QString type = settingValue(text, "Database Settings", "Database Type");
        if (!type.isEmpty() && type != QLatin1String("QSQLITE")) {
            return {}; // kept in a database server: not a file to read
        }
        directory = settingValue(text, "Database Settings", "Database Name");
        if (directory.isEmpty()) {
            directory = settingValue(text, "Album Settings", "Database File Path");
        }
    }
    if (directory.isEmpty()) {
        directory = Path::homeDirectory() + QStringLiteral("/Pictures");
    }
    const QString path =
        Path::appendingComponent(Path::expandTilde(directory), QStringLiteral("digikam4.db"));
    return FileSystem::isRegularFile(path) ? path : QString();
}

DigikamFolder::DigikamFolder(const QString& name, const QString& database, Media media)
    : CatalogueFolder(name, Library::Pictures)
    , _database(database)
    , _media(media) {
}

CatalogueReader DigikamFolder::catalogueReader() const {
    return [reader = DigikamReader(_database, _media)](LoadProgress& progress) {
        return reader.read(progress);
    };
}
