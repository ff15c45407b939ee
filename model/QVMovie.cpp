#include "model/QVMovie.h"

#include "model/MediaFileTypes.h"
#include "platform/media/MovieFile.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/TextMatch.h"

namespace {

const QLatin1String kSharedMovies("Shared Movies");

} // namespace

QVMoviePtr QVMovie::movieFromFile(const QString& path) {
    if (!MediaFileTypes::isPlayable(path)) {
        return nullptr;
    }
    return std::make_shared<QVMovie>(FromPath{}, path, QString());
}

QVMoviePtr QVMovie::createWithIMovie(const QString& projectPath) {
    const QString baseName = Path::deletingExtension(Path::lastComponent(projectPath));
    QString found = folderContainsFile(projectPath, baseName);
    if (found.isNull()) {
        const QString shared = Path::appendingComponent(projectPath, kSharedMovies);
        FileSystem::forEachEntry(shared, [&](const FileSystem::DirectoryEntry& entry) {
            found = folderContainsFile(Path::appendingComponent(shared, entry.name), baseName);
            return found.isNull();
        });
    }
    if (found.isNull()) {
        return nullptr;
    }
    return std::make_shared<QVMovie>(FromPath{}, found, baseName);
}

QString QVMovie::folderContainsFile(const QString& directory, const QString& baseName) {
    QString found;
    FileSystem::forEachEntry(directory, [&](const FileSystem::DirectoryEntry& entry) {
        const QString extension = Path::extension(entry.name);
        if (extension == QLatin1String("iMovieProj") || extension == QLatin1String("iMovieProject") ||
            Path::deletingExtension(entry.name) != baseName) {
            return true;
        }
        const QString path = Path::appendingComponent(directory, entry.name);
        // A link counts when it leads to a file.
        const bool file =
            entry.type == FileSystem::EntryType::Regular ||
            (entry.type == FileSystem::EntryType::SymbolicLink && FileSystem::isRegularFile(path));
        if (file) {
            found = path;
        }
        return !file;
    });
    return found;
}

QVMovie::QVMovie(const QUrl& url)
    : _url(url) {
}

QVMovie::QVMovie(const QUrl& url, const QString& name)
    : _name(!name.isEmpty()            ? name
            : url.fileName().isEmpty() ? QString(QLatin1String(""))
                                       : url.fileName())
    , _url(url) {
}

QVMovie::QVMovie(FromPath, const QString& path, const QString& name)
    : _name(name)
    , _path(path) {
}

QString QVMovie::name() {
    if (_name.isNull()) {
        setName(readName(filePath()));
    }
    return _name;
}

QString QVMovie::readName(const QString& path) {
    QString name;
    if (const std::unique_ptr<MovieFile> movie = MovieFile::open(path)) {
        name = movie->displayName();
    }
    if (name.isEmpty()) {
        name = Path::lastComponent(path);
    }
    if (name.isNull()) {
        name = QLatin1String(""); // found once, even for a URL that is no file
    }
    return name;
}

void QVMovie::setName(const QString& name) {
    if (_name.isNull()) {
        _name = name.isNull() ? QString(QLatin1String("")) : name;
    }
}

QUrl QVMovie::url() const {
    if (_url.isEmpty() && !_path.isEmpty()) {
        _url = Path::fileUrl(_path);
    }
    return _url;
}

bool QVMovie::matchesFilter(const QString& text) {
    if (!_searchNameMade) {
        _searchName = TextMatch::searchForm(name());
        _searchNameMade = true;
    }
    return TextMatch::contains(_searchName, text);
}
