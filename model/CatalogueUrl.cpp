#include "model/CatalogueUrl.h"

#include "platform/Path.h"

namespace CatalogueUrl {

QUrl fromLocation(const QString& location) {
    if (location.isEmpty()) {
        return {};
    }
    QUrl url(location, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return {};
    }
    if (url.scheme() == QLatin1String("file")) {
        // Through the path's bytes, so that names that are not UTF-8 survive.
        const QString path = Path::localPath(url);
        return path.isNull() ? QUrl() : Path::fileUrl(path);
    }
    return url;
}

QUrl fromPath(const QString& path) {
    if (!path.startsWith(QLatin1Char('/'))) {
        return {};
    }
    return Path::fileUrl(path);
}

} // namespace CatalogueUrl
