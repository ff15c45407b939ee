#include "browser/MediaTypeFilter.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/system/Path.h"

#include <QMimeDatabase>
#include <QRegularExpression>
#include <QVMediaBrowser/QVMediaBrowser.h>

namespace {

// The kind bit of a MIME type's family, 0 for any other family.
int kindOfFamily(QStringView type) {
    if (type.startsWith(u"image/")) {
        return QVMediaBrowser::Pictures;
    }
    if (type.startsWith(u"audio/")) {
        return QVMediaBrowser::Music;
    }
    if (type.startsWith(u"video/")) {
        return QVMediaBrowser::Movies;
    }
    return 0;
}

int kindNamed(const QString& name) {
    if (name == QLatin1String("pictures")) {
        return QVMediaBrowser::Pictures;
    }
    if (name == QLatin1String("music")) {
        return QVMediaBrowser::Music;
    }
    if (name == QLatin1String("movies")) {
        return QVMediaBrowser::Movies;
    }
    return 0;
}

} // namespace

std::optional<MediaTypeFilter> MediaTypeFilter::fromTypes(const QStringList& types) {
    MediaTypeFilter filter;
    if (types.isEmpty()) {
        return filter;
    }
    // A MIME type as RFC 6838 names them, or a family followed by "*".
    static const QRegularExpression mimeType(
        QStringLiteral("^[a-z]+/([A-Za-z0-9][A-Za-z0-9!#$&^_.+-]{0,126}|\\*)$"));
    filter._wholeKinds = 0;
    for (const QString& given : types) {
        const QString type = given.toLower();
        if (const int kind = kindNamed(type); kind != 0) {
            filter._wholeKinds |= kind;
            continue;
        }
        const int kind = kindOfFamily(type);
        if (kind == 0 || !mimeType.match(type).hasMatch()) {
            return std::nullopt;
        }
        if (type.endsWith(QLatin1Char('*'))) {
            filter._wholeKinds |= kind;
        } else {
            filter._exactKinds |= kind;
            filter._exactTypes.append(type);
        }
    }
    return filter;
}

bool MediaTypeFilter::accepts(MediaItem& item) const {
    const int kind = kindOf(item);
    if ((_wholeKinds & kind) != 0) {
        return true;
    }
    if ((_exactKinds & kind) == 0) {
        return false;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeTypeOfFile(filePath(item)));
    for (const QString& wanted : _exactTypes) {
        if (type.isValid() && type.inherits(wanted)) {
            return true;
        }
    }
    return false;
}

QString MediaTypeFilter::mimeTypeOfFile(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return type.isDefault() ? QString() : type.name();
}

int MediaTypeFilter::kindOf(MediaItem& item) {
    if (dynamic_cast<Photo*>(&item) != nullptr) {
        return QVMediaBrowser::Pictures;
    }
    if (dynamic_cast<QVTrack*>(&item) != nullptr) {
        return QVMediaBrowser::Music;
    }
    if (dynamic_cast<QVMovie*>(&item) != nullptr) {
        return QVMediaBrowser::Movies;
    }
    return 0;
}

QString MediaTypeFilter::filePath(MediaItem& item) {
    if (auto* photo = dynamic_cast<Photo*>(&item)) {
        return photo->path();
    }
    return Path::localPath(item.url());
}
