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
    // The same for a local file given by its path as a catalogue's URL names
    // it (decoded, valid UTF-8). Its URL is made each time it is asked for
    // and not kept: a catalogue of a million tracks would otherwise hold a
    // million URLs, each several times the path's size.
    static QVTrackPtr withCataloguePath(const QString& title, const QString& artist, quint32 length,
                                        const QString& path);

    QString name() override;
    QString artist();
    quint32 length();
    QUrl url() const override;

    // Reads the display data, once: ID3 for ".mp3" files, the movie metadata
    // otherwise, and the file name when there is no title.
    void lazyInit();

    // The display data of a track file, read now: what lazyInit() reads,
    // with no track object involved, so that a loader can read it for many
    // tracks on its own thread.
    struct Details {
        QString title;
        QString artist;
        quint32 length = 0;
    };
    static Details readDetails(const QString& path);
    // Takes display data read elsewhere, unless the track has its own already.
    void setDetails(Details details);
    bool hasDetails() const { return _initialized; }
    // The local file the track plays, when it has one.
    QString filePath() const;

    // Whether the title, or else the artist, contains text.
    bool matchesFilter(const QString& text) override;
    // Of the track's file and display data as it holds them, made once: no
    // file is read and no URL made.
    std::size_t contentHash() const override;
    QString identity() const override { return _path.isEmpty() ? _url.toString() : _path; }
    int searchFieldCount() override { return 2; }
    QString searchField(int field) override { return field == 0 ? name() : artist(); }

private:
    struct FromPath {};
    struct FromCataloguePath {};

public:
    // For the class's own factories only (the tag types are private).
    QVTrack(FromPath, const QString& path);
    QVTrack(FromCataloguePath, const QString& title, const QString& artist, quint32 length,
            const QString& path);

private:
    // The folded title and artist that matchesFilter() compares, made on its
    // first call: lists search through their own index, so most tracks never
    // need them.
    struct SearchForms {
        QString name;
        QString artist;
    };

    QString _name;
    QString _artist;
    // Tracks made from files keep the path and make the URL when first asked,
    // so listing a folder does not build thousands of URLs.
    QString _path;
    mutable QUrl _url;
    std::unique_ptr<SearchForms> _searchForms;
    mutable std::size_t _contentHash = 0; // made by contentHash() on the reading thread
    quint32 _length = 0;
    bool _initialized = false;
    bool _pathFromCatalogue = false;
};
