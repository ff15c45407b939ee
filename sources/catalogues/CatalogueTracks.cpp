#include "sources/catalogues/CatalogueTracks.h"

#include "model/QVTrack.h"
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
    const QUrl url = CatalogueUrl::fromLocation(location);
    if (url.isEmpty()) {
        return nullptr;
    }
    return std::make_shared<QVTrack>(title, artist, length, url);
}

void Albums::add(const QString& key, const QString& name, const MediaItemPtr& item) {
    auto found = _byKey.constFind(key);
    if (found == _byKey.constEnd()) {
        found = _byKey.insert(key, _albums.size());
        _albums.push_back({name, CatalogueGroup::Kind::Album, {}, {}, QStringLiteral("album-") + key});
    }
    _albums[*found].items.push_back(item);
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
    groups.push_back(
        {QStringLiteral("Albums"), CatalogueGroup::Kind::Folder, {}, std::move(sorted), QStringLiteral("albums")});
    _albums.clear();
    _byKey.clear();
}

} // namespace CatalogueTracks
