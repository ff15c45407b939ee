#include "model/Photo.h"

#include "platform/ImageTypes.h"
#include "platform/Path.h"
#include "platform/TextMatch.h"

PhotoPtr Photo::photoFromFile(const QString& path) {
    if (!ImageTypes::unfiltered().contains(Path::extension(path))) {
        return nullptr;
    }
    return std::make_shared<Photo>(Path::deletingExtension(Path::lastComponent(path)), QString(), path, path);
}

Photo::Photo(const QString& caption, const QString& comment, const QString& path, const QString& thumbPath)
    : _name(caption)
    , _comment(comment)
    , _path(path)
    , _thumbPath(thumbPath) {
}

bool Photo::matchesFilter(const QString& text) {
    if (!_searchNameMade) {
        _searchName = TextMatch::searchForm(_name);
        _searchNameMade = true;
    }
    return TextMatch::contains(_searchName, text);
}
