#include "sources/catalogues/MovedLibrary.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"

namespace {

QString withoutTrailingSlashes(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}

// The directory part of path: before its last "/"; empty when it has none.
QStringView directoryOf(QStringView path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash > 0 ? path.left(slash) : QStringView();
}

} // namespace

MovedLibrary::MovedLibrary(const QString& originalFolder, const QString& localFolder)
    : _original(withoutTrailingSlashes(originalFolder))
    , _local(withoutTrailingSlashes(localFolder)) {
    const QString name = Path::lastComponent(_original);
    _originalName = QLatin1Char('/') + name + QLatin1Char('/');
    _active = _original.startsWith(QLatin1Char('/')) && _original.size() > 1 && !name.isEmpty() &&
              !_local.isEmpty() && _original != _local && !FileSystem::isDirectory(_original) &&
              FileSystem::isDirectory(_local);
}

QString MovedLibrary::locate(const QString& path) {
    if (!_active) {
        return path;
    }
    const QStringView directory = directoryOf(path);
    if (directory.isEmpty() || directoryExists(directory, _lastOriginal)) {
        return path;
    }
    QStringView rest;
    if (path.startsWith(_original) && path.size() > _original.size() + 1 &&
        path.at(_original.size()) == QLatin1Char('/')) {
        rest = QStringView(path).mid(_original.size() + 1);
    } else if (const qsizetype at = path.indexOf(_originalName); at >= 0) {
        rest = QStringView(path).mid(at + _originalName.size());
    } else {
        return path;
    }
    QString candidate = _local;
    candidate += QLatin1Char('/');
    candidate += rest;
    const QStringView candidateDirectory = directoryOf(candidate);
    return !candidateDirectory.isEmpty() && directoryExists(candidateDirectory, _lastLocal) ? candidate
                                                                                            : path;
}

bool MovedLibrary::directoryExists(QStringView directory, LastAnswers& last) {
    // A catalogue lists an album's files one after another, each with its
    // picture and its thumbnail: the two directories asked for last are
    // asked for again most of the time.
    for (const LastAnswer& answer : last.answers) {
        if (!answer.directory.isNull() && directory == answer.directory) {
            return answer.exists;
        }
    }
    LastAnswer& answer = last.answers[last.next];
    last.next = (last.next + 1) % last.answers.size();
    answer.directory = directory.toString();
    const auto known = _directories.constFind(answer.directory);
    if (known != _directories.constEnd()) {
        answer.exists = *known;
    } else {
        answer.exists = FileSystem::isDirectory(answer.directory);
        _directories.insert(answer.directory, answer.exists);
    }
    return answer.exists;
}
