#include "model/Photo.h"

#include "platform/media/ImageTypes.h"
#include "platform/system/Path.h"
#include "platform/system/TextMatch.h"

PhotoPtr Photo::photoFromFile(const QString& path) {
    const QStringView extension = Path::extensionView(path);
    if (extension.isEmpty() || !ImageTypes::isUnfiltered(extension)) {
        return nullptr;
    }
    return std::make_shared<Photo>(FromFile{}, path);
}

PhotoPtr Photo::photoNamedAfterFile(const QString& path, const QString& thumbPath) {
    auto photo = std::make_shared<Photo>(FromFile{}, path);
    photo->_thumbPath = thumbPath;
    return photo;
}

Photo::Photo(FromFile, const QString& path)
    : _nameFromPath(true)
    , _namedAfterFile(true)
    , _path(path)
    , _thumbPath(path) {
}

Photo::Photo(const QString& caption, const QString& comment, const QString& path, const QString& thumbPath)
    : _name(caption)
    , _comment(comment)
    , _path(path)
    , _thumbPath(thumbPath) {
}

QString Photo::name() {
    if (_nameFromPath) {
        _nameFromPath = false;
        _name = Path::deletingExtension(Path::lastComponent(_path));
    }
    return _name;
}

std::size_t Photo::contentHash() const {
    if (_contentHash == 0) {
        _contentHash = qHashMulti(1, _path, _thumbPath, _namedAfterFile ? QString() : _name);
    }
    return _contentHash;
}

bool Photo::matchesFilter(const QString& text) {
    if (!_searchNameMade) {
        _searchName = TextMatch::searchForm(name());
        _searchNameMade = true;
    }
    return TextMatch::contains(_searchName, text);
}
