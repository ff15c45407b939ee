#pragma once

#include "model/MediaItem.h"

#include <QString>
#include <QUrl>

#include <memory>

class QVTrack;
using QVTrackPtr = std::shared_ptr<QVTrack>;

// An audio track: title, artist and length, read from its file the first time
// they are asked for (or given by the iTunes library), and the file's URL.
class QVTrack : public MediaItem {
public:
    // Length value meaning "unknown".
    static constexpr quint32 UnknownLength = 0xFFFFFFFF;

    // A track for path when the movie toolkit opens files of its type and it
    // is neither a picture nor an XML file; null otherwise. Nothing is read yet.
    static QVTrackPtr trackFromFile(const QString& path);

    // A track whose display data is read from url later.
    explicit QVTrack(const QUrl& url);
    // A track with known display data; its file is never read.
    QVTrack(const QString& title, const QString& artist, quint32 length, const QUrl& url);
    // The same for a local file, whose URL is made when first asked: a
    // catalogue of tens of thousands of tracks then builds no URLs to list them.
    static QVTrackPtr trackWithPath(const QString& title, const QString& artist, quint32 length,
                                    const QString& path);

    QString name() override;
    QString artist();
    quint32 length();
    QUrl url() const override;

    // Reads the display data, once: ID3 for ".mp3" files, the movie metadata
    // otherwise, and the file name when there is no title.
    void lazyInit();

    // Whether the title, or else the artist, contains text.
    bool matchesFilter(const QString& text) override;
    // Of the track's file and display data as it holds them, made once: no
    // file is read and no URL made.
    std::size_t contentHash() const override;
    int searchFieldCount() override { return 2; }
    QString searchField(int field) override { return field == 0 ? name() : artist(); }

private:
    struct FromPath {};

public:
    // For the class's own factory only (the tag type is private).
    QVTrack(FromPath, const QString& path);

private:
    QString filePath() const;

    bool _initialized = false;
    QString _name;
    QString _artist;
    quint32 _length = 0;
    // Tracks made from files keep the path and make the URL when first asked,
    // so listing a folder does not build thousands of URLs.
    mutable QUrl _url;
    QString _path;
    bool _searchFormsMade = false;
    mutable std::size_t _contentHash = 0;
    QString _searchName;
    QString _searchArtist;
};
