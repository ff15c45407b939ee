#pragma once

#include "model/MediaItem.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QHash>
#include <QString>

#include <vector>

// Tracks and album groups as the music libraries' readers make them.
namespace CatalogueTracks {

// Whole seconds of a length in the given unit (1 for seconds, 1000 for
// milliseconds); none or a negative length gives 0.
quint32 seconds(qint64 length, qint64 perSecond);

// The track a library lists at location: a local path, a file URL, or the
// URL of a network share ("smb://…", "nfs://…"), which plays but is never
// dragged as a file. None when location is neither.
MediaItemPtr track(const QString& location, const QString& title, const QString& artist, quint32 length);
// The same from the location's bytes as a database holds them (UTF-8): an
// unescaped file URL or a path takes no text of its own.
MediaItemPtr track(QByteArrayView location, const QString& title, const QString& artist, quint32 length);

// Albums as a library names them: "Albums", holding one group per album in
// name order, each listing its tracks as they were added.
class Albums {
public:
    // Adds item to the album known by key (the library's own album id).
    // Albums are known either by text keys or by numbers, not both.
    void add(const QString& key, const QString& name, const MediaItemPtr& item);
    void add(qint64 id, const QString& name, const MediaItemPtr& item);
    // Adds item to the album the last item went to (there must be one).
    void addToLast(const MediaItemPtr& item) { _albums[_last].items.push_back(item); }
    // Adds the "Albums" group to groups, when a track is in an album; empties the albums.
    void takeInto(std::vector<CatalogueGroup>& groups);

private:
    std::vector<CatalogueGroup> _albums;
    QHash<QString, std::size_t> _byKey;
    QHash<qint64, std::size_t> _byId;
    std::size_t _last = static_cast<std::size_t>(-1);
    QString _lastKey; // null when the last album was known by number
    qint64 _lastId = 0;
};

} // namespace CatalogueTracks
