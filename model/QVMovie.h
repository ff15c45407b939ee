#pragma once

#include "model/MediaItem.h"
#include "platform/system/Path.h"

#include <QString>
#include <QUrl>

#include <memory>

class QVMovie;
using QVMoviePtr = std::shared_ptr<QVMovie>;

// A movie: the file's URL and a display name found when first asked for.
class QVMovie : public MediaItem {
public:
    // A movie for path when the movie toolkit opens files of its type and it
    // is neither a picture nor an XML file; null otherwise. Nothing is read yet.
    static QVMoviePtr movieFromFile(const QString& path);

    // The movie exported from the iMovie project at projectPath, named after
    // the project: a file named like the project in the project directory, or
    // else in a directory under its "Shared Movies". Null when there is none.
    static QVMoviePtr createWithIMovie(const QString& projectPath);

    // The path of the first entry of directory, in listing order, whose name
    // without extension is baseName and whose extension is not an iMovie
    // project's; a null string when there is none or the directory cannot be
    // read. Directories, FIFOs, sockets and devices do not count.
    static QString folderContainsFile(const QString& directory, const QString& baseName);

    // A movie whose name is found later.
    explicit QVMovie(const QUrl& url);
    // A movie whose name a catalogue gives (the file is not opened for it);
    // an empty name is found later, as above.
    QVMovie(const QUrl& url, const QString& name);

    // The container's title, or else the file name with its extension. The
    // file is opened once, on the first call.
    QString name() override;
    QUrl url() const override;
    std::size_t contentHash() const override { return qHash(url()); }
    QString identity() const override { return _path.isEmpty() ? _url.toString() : _path; }

    // The display name of the movie file at path, read now: what name() finds,
    // with no movie object involved, so that a loader can read it on its own thread.
    static QString readName(const QString& path);
    // Takes a name read elsewhere, unless the movie has found its own already.
    void setName(const QString& name);
    bool hasName() const { return !_name.isNull(); }
    // The local file the movie plays, when it has one.
    QString filePath() const { return _path.isEmpty() ? Path::localPath(_url) : _path; }

    bool matchesFilter(const QString& text) override;

private:
    struct FromPath {};

public:
    // For the class's own factories only (the tag type is private).
    QVMovie(FromPath, const QString& path, const QString& name);

private:
    QString _name;
    // Movies made from files keep the path and make the URL when first asked.
    mutable QUrl _url;
    QString _path;
    bool _searchNameMade = false;
    QString _searchName;
};
