#include "sources/catalogues/CatalogueTracks.h"

#include "model/QVTrack.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueUrl.h"

#include <QCollator>

#include <algorithm>

namespace CatalogueTracks {

quint32 seconds(qint64 length, qint64 perSecond) {
    const qint64 whole = perSecond > 0 ? length / perSecond : 0;
    if (whole <= 0) {
        return 0;
    }
    return whole >= QVTrack::UnknownLength ? QVTrack::UnknownLength : static_cast<quint32>(whole);
}

MediaItemPtr track(const QString& location, const QString& title, const QString& artist, quint32 length) {
    if (location.startsWith(QLatin1Char('/'))) {
        return QVTrack::withCataloguePath(title, artist, length, location);
    }
    if (const QString path = CatalogueUrl::plainFilePath(location); !path.isNull()) {
        return QVTrack::withCataloguePath(title, artist, length, path);
    }
    // A file URL written as Qt shows one (Elisa's): spaces and letters as
    // they are, no escapes, the path as it stands; parsing it would cost a
    // hundred times more.
    if (location.startsWith(QLatin1String("file:///")) && !location.contains(QLatin1Char('%')) &&
        !location.contains(QLatin1Char('?')) && !location.contains(QLatin1Char('#'))) {
        return QVTrack::withCataloguePath(title, artist, length, location.mid(7));
    }
    const QUrl url = CatalogueUrl::fromLocation(location);
    if (url.isEmpty()) {
        return nullptr;
    }
    return std::make_shared<QVTrack>(title, artist, length, url);
}

MediaItemPtr track(QByteArrayView location, const QString& title, const QString& artist, quint32 length) {
    if (location.startsWith('/')) {
        return QVTrack::withCataloguePath(title, artist, length,
                                          Path::fromNative(location.data(), location.size()));
    }
    if (location.startsWith("file:///") && !location.contains('%') && !location.contains('?') &&
        !location.contains('#')) {
        const QByteArrayView path = location.sliced(7);
        return QVTrack::withCataloguePath(title, artist, length, Path::fromNative(path.data(), path.size()));
    }
    return track(QString::fromUtf8(location), title, artist, length);
}

void Albums::add(const QString& key, const QString& name, const MediaItemPtr& item) {
    // Libraries list an album's tracks together: most tracks are in the last album.
    if (_last < _albums.size() && key == _lastKey) {
        _albums[_last].items.push_back(item);
        return;
    }
    auto found = _byKey.constFind(key);
    if (found == _byKey.constEnd()) {
        found = _byKey.insert(key, _albums.size());
        _albums.push_back({name, CatalogueGroup::Kind::Album, {}, {}, QStringLiteral("album-") + key});
    }
    _last = *found;
    _lastKey = key;
    _albums[_last].items.push_back(item);
}

void Albums::add(qint64 id, const QString& name, const MediaItemPtr& item) {
    if (_last < _albums.size() && _lastKey.isNull() && id == _lastId) {
        _albums[_last].items.push_back(item);
        return;
    }
    auto found = _byId.constFind(id);
    if (found == _byId.constEnd()) {
        found = _byId.insert(id, _albums.size());
        _albums.push_back({name, CatalogueGroup::Kind::Album, {}, {}, QStringLiteral("album-%1").arg(id)});
    }
    _last = *found;
    _lastKey = QString();
    _lastId = id;
    _albums[_last].items.push_back(item);
}

void Albums::takeInto(std::vector<CatalogueGroup>& groups) {
    if (_albums.empty()) {
        return;
    }
    // By name as the file manager sorts, through one sort key per album:
    // comparing through the collator each time costs a hundred times more.
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, std::size_t>> keys;
    keys.reserve(_albums.size());
    for (std::size_t album = 0; album < _albums.size(); ++album) {
        keys.emplace_back(collator.sortKey(_albums[album].name), album);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    std::vector<CatalogueGroup> sorted;
    sorted.reserve(_albums.size());
    for (const auto& [key, album] : keys) {
        sorted.push_back(std::move(_albums[album]));
    }
    groups.push_back({QStringLiteral("Albums"),
                      CatalogueGroup::Kind::Folder,
                      {},
                      std::move(sorted),
                      QStringLiteral("albums")});
    _albums.clear();
    _byKey.clear();
    _byId.clear();
    _last = static_cast<std::size_t>(-1);
}

} // namespace CatalogueTracks
