#include "model/QVTrack.h"

#include "model/MediaFileTypes.h"
#include "model/TrackMetaData.h"
#include "platform/media/Id3Reader.h"
#include "platform/system/Path.h"
#include "platform/system/TextMatch.h"

QVTrackPtr QVTrack::trackFromFile(const QString& path) {
    if (!MediaFileTypes::isPlayable(path)) {
        return nullptr;
    }
    return std::make_shared<QVTrack>(FromPath{}, path);
}

QVTrack::QVTrack(const QUrl& url)
    : _url(url) {
}

QVTrack::QVTrack(FromPath, const QString& path)
    : _path(path) {
}

QVTrack::QVTrack(const QString& title, const QString& artist, quint32 length, const QUrl& url)
    : _name(title)
    , _artist(artist)
    , _url(url)
    , _length(length)
    , _initialized(true) {
}

QVTrackPtr QVTrack::withCataloguePath(const QString& title, const QString& artist, quint32 length,
                                      const QString& path) {
    return std::make_shared<QVTrack>(FromCataloguePath{}, title, artist, length, path);
}

QVTrack::QVTrack(FromCataloguePath, const QString& title, const QString& artist, quint32 length,
                 const QString& path)
    : _name(title)
    , _artist(artist)
    , _path(path)
    , _length(length)
    , _initialized(true)
    , _pathFromCatalogue(true) {
}

QString QVTrack::name() {
    lazyInit();
    return _name;
}

QString QVTrack::artist() {
    lazyInit();
    return _artist;
}

quint32 QVTrack::length() {
    lazyInit();
    return _length;
}

QUrl QVTrack::url() const {
    if (_pathFromCatalogue) {
        // The path set in decoded form, as the catalogue's URL was read.
        QUrl url;
        url.setScheme(QStringLiteral("file"));
        url.setPath(_path, QUrl::DecodedMode);
        return url;
    }
    if (_url.isEmpty() && !_path.isEmpty()) {
        _url = Path::fileUrl(_path);
    }
    return _url;
}

QString QVTrack::filePath() const {
    return _path.isEmpty() || _pathFromCatalogue ? Path::localPath(url()) : _path;
}

void QVTrack::lazyInit() {
    if (_initialized) {
        return;
    }
    const QString path = filePath();
    if (!path.isEmpty()) {
        setDetails(readDetails(path));
        return;
    }
    // A track that is no local file: what the movie toolkit finds at its URL.
    const TrackMetaData metaData = MovieMetaData(url());
    setDetails({metaData.name, metaData.artist, static_cast<quint32>(metaData.length)});
}

QVTrack::Details QVTrack::readDetails(const QString& path) {
    Details details;
    if (Path::extensionView(path) == QLatin1String("mp3")) {
        const Id3Tags tags = Id3Reader::read(path);
        details = {tags.title, tags.artist, tags.duration};
    } else {
        const TrackMetaData metaData = MovieMetaData(Path::fileUrl(path));
        details = {metaData.name, metaData.artist, static_cast<quint32>(metaData.length)};
    }
    if (details.title.isEmpty()) {
        details.title = Path::deletingExtension(Path::lastComponent(path));
    }
    return details;
}

void QVTrack::setDetails(Details details) {
    if (_initialized) {
        return;
    }
    _initialized = true;
    _name = std::move(details.title);
    _artist = std::move(details.artist);
    _length = details.length;
}

std::size_t QVTrack::contentHash() const {
    if (_contentHash == 0) {
        _contentHash = qHashMulti(1, _initialized, _path, _url, _name, _artist, _length);
    }
    return _contentHash;
}

bool QVTrack::matchesFilter(const QString& text) {
    lazyInit();
    if (!_searchForms) {
        _searchForms = std::make_unique<SearchForms>(
            SearchForms{TextMatch::searchForm(_name), TextMatch::searchForm(_artist)});
    }
    const SearchForms& forms = *_searchForms;
    return (!forms.name.isEmpty() && TextMatch::contains(forms.name, text)) ||
           (!forms.artist.isEmpty() && TextMatch::contains(forms.artist, text));
}
