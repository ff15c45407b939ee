#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVMediaBrowser/MovieMetaData.h>

#include <memory>
#include <vector>

// An audio or video file opened to read its description: display name,
// duration and metadata. Playback is MoviePlayer's job, posters MoviePoster's.
class MovieFile {
public:
    // Whether a file can be opened as a movie (audio-only files included),
    // judged by a case-insensitive test of its extension against the audio
    // and video types the browser handles. The file itself is not touched.
    static bool canOpen(const QString& path);
    static bool canOpen(const QUrl& url);

    // Opens the file at path; null when it is not a regular file or cannot be
    // read as a movie.
    static std::unique_ptr<MovieFile> open(const QString& path);
    // The same for a file URL.
    static std::unique_ptr<MovieFile> open(const QUrl& url);

    ~MovieFile();
    MovieFile(const MovieFile&) = delete;
    MovieFile& operator=(const MovieFile&) = delete;

    // The container's title; a null string when it has none.
    QString displayName() const;
    // The duration in whole seconds (truncated); -1 when indefinite or unknown.
    qint64 durationSeconds() const;
    // The metadata as short-form items: the container's title, artist, album,
    // comment, year, genre and composer under their 'itsk' keys, as UTF-8
    // bytes exactly as the file gave them.
    MovieMetaDataItems metaData() const;

private:
    struct Input;
    explicit MovieFile(std::unique_ptr<Input> input);
    std::unique_ptr<Input> _input;
};
