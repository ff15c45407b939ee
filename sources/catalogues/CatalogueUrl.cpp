#include "sources/catalogues/CatalogueUrl.h"

#include "platform/system/Path.h"

namespace CatalogueUrl {

namespace {

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if ((c | 0x20) >= u'a' && (c | 0x20) <= u'f') {
        return (c | 0x20) - u'a' + 10;
    }
    return -1;
}

} // namespace

QString plainFilePath(const QString& location) {
    QStringView rest;
    if (location.startsWith(QLatin1String("file:///"))) {
        rest = QStringView(location).mid(7);
    } else if (location.startsWith(QLatin1String("file://localhost/"))) {
        rest = QStringView(location).mid(16);
    } else {
        return {};
    }
    QByteArray bytes;
    bytes.reserve(rest.size());
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const char16_t u = rest[i].unicode();
        if (u == u'%' && i + 2 < rest.size() && hexValue(rest[i + 1].unicode()) >= 0 &&
            hexValue(rest[i + 2].unicode()) >= 0) {
            const auto byte =
                static_cast<char>(hexValue(rest[i + 1].unicode()) * 16 + hexValue(rest[i + 2].unicode()));
            if (byte == '/' || byte == '\0') {
                return {};
            }
            bytes.append(byte);
            i += 2;
        } else if (u <= 0x20 || u >= 0x7F || u == u'?' || u == u'#' || u == u'%') {
            return {};
        } else {
            bytes.append(static_cast<char>(u));
        }
    }
    QString path = QString::fromUtf8(bytes);
    if (path.contains(QChar::ReplacementCharacter)) {
        return {};
    }
    return path;
}

QUrl fromLocation(const QString& location) {
    if (location.isEmpty()) {
        return {};
    }
    if (const QString path = plainFilePath(location); !path.isNull()) {
        QUrl url;
        url.setScheme(QStringLiteral("file"));
        url.setPath(path, QUrl::DecodedMode);
        return url;
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
