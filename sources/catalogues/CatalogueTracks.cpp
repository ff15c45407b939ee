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
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(_albums.begin(), _albums.end(),
                     [&collator](const CatalogueGroup& a, const CatalogueGroup& b) {
                         return collator.compare(a.name, b.name) < 0;
                     });
    CatalogueGroup albums{QStringLiteral("Albums"),
                          CatalogueGroup::Kind::Folder,
                          {},
                          std::move(_albums),
                          QStringLiteral("albums")};
    _albums.clear();
    _byKey.clear();
    return albums;
}

} // namespace CatalogueTracks
