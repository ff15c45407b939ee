#include "model/QVTrack.h"

#include "model/MediaFileTypes.h"
#include "model/TrackMetaData.h"
#include "platform/Id3Reader.h"
#include "platform/Path.h"
#include "platform/TextMatch.h"

QVTrackPtr QVTrack::trackFromFile(const QString& path) {
    if (!MediaFileTypes::isPlayable(path)) {
        return nullptr;
    }
    return std::make_shared<QVTrack>(FromPath{}, path);
}

QVTrackPtr QVTrack::trackWithPath(const QString& title, const QString& artist, quint32 length,
                                  const QString& path) {
    auto track = std::make_shared<QVTrack>(FromPath{}, path);
    track->_initialized = true;
    track->_name = title;
    track->_artist = artist;
    track->_length = length;
    return track;
}

QVTrack::QVTrack(const QUrl& url)
    : _url(url) {
}

QVTrack::QVTrack(FromPath, const QString& path)
    : _path(path) {
}

QVTrack::QVTrack(const QString& title, const QString& artist, quint32 length, const QUrl& url)
    : _initialized(true)
    , _name(title)
    , _artist(artist)
    , _length(length)
    , _url(url) {
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
    if (_url.isEmpty() && !_path.isEmpty()) {
        _url = Path::fileUrl(_path);
    }
    return _url;
}

QString QVTrack::filePath() const {
    return _path.isEmpty() ? Path::localPath(_url) : _path;
}

void QVTrack::lazyInit() {
    if (_initialized) {
        return;
    }
    _initialized = true;
    const QString path = filePath();
    if (Path::extensionView(path) == QLatin1String("mp3")) {
        const Id3Tags tags = Id3Reader::read(path);
        _name = tags.title;
        _artist = tags.artist;
        _length = tags.duration;
    } else {
        const TrackMetaData metaData = MovieMetaData(url());
        _name = metaData.name;
        _artist = metaData.artist;
        _length = static_cast<quint32>(metaData.length);
    }
    if (_name.isEmpty()) {
        _name = Path::deletingExtension(Path::lastComponent(path));
    }
}

std::size_t QVTrack::contentHash() const {
    if (_contentHash == 0) {
        _contentHash = qHashMulti(1, _initialized, _path, _url, _name, _artist, _length);
    }
    return _contentHash;
}

bool QVTrack::matchesFilter(const QString& text) {
    lazyInit();
    if (!_searchFormsMade) {
        _searchName = TextMatch::searchForm(_name);
        _searchArtist = TextMatch::searchForm(_artist);
        _searchFormsMade = true;
    }
    return (!_searchName.isEmpty() && TextMatch::contains(_searchName, text)) ||
           (!_searchArtist.isEmpty() && TextMatch::contains(_searchArtist, text));
}
