#include "platform/system/Path.h"

#include <QDir>

#include <cctype>
#include <pwd.h>

namespace Path {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at s[i], or 0 if there is none.
int validUtf8Length(const unsigned char* s, qsizetype i, qsizetype n) {
    const unsigned char c = s[i];
    int length = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > n) {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if ((s[i + k] & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

bool isAscii(const char* bytes, qsizetype length) {
    for (qsizetype i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

QString fromNative(const char* bytes, qsizetype length) {
    if (isAscii(bytes, length)) {
        return QString::fromLatin1(bytes, length);
    }
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    QString result;
    result.reserve(length);
    qsizetype i = 0;
    while (i < length) {
        if (s[i] < 0x80) {
            result.append(QChar(s[i]));
            ++i;
            continue;
        }
        const int n = validUtf8Length(s, i, length);
        if (n == 0) {
            result.append(QChar(static_cast<char16_t>(kEscapeBase + s[i])));
            ++i;
            continue;
        }
        result.append(QString::fromUtf8(bytes + i, n));
        i += n;
    }
    return result;
}

QString fromNative(const QByteArray& bytes) {
    return fromNative(bytes.constData(), bytes.size());
}

QByteArray toNative(const QString& path) {
    QByteArray result;
    result.reserve(path.size());
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = path.at(i).unicode();
        if (u < 0x80) {
            result.append(static_cast<char>(u));
        } else if (u >= 0xDC80 && u <= 0xDCFF &&
                   !(i > 0 && QChar::isHighSurrogate(path.at(i - 1).unicode()))) {
            // A lone low surrogate in the escape range stands for one raw byte.
            result.append(static_cast<char>(u - kEscapeBase));
        } else if (QChar::isHighSurrogate(u) && i + 1 < n &&
                   QChar::isLowSurrogate(path.at(i + 1).unicode())) {
            result.append(QStringView(path).mid(i, 2).toUtf8());
            ++i;
        } else {
            result.append(QStringView(path).mid(i, 1).toUtf8());
        }
    }
    return result;
}

QString homeDirectory() {
    return QDir::homePath();
}

QString expandTilde(const QString& path) {
    if (!path.startsWith(QLatin1Char('~'))) {
        return path;
    }
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
    const QString rest = slash < 0 ? QString() : path.mid(slash);
    QString home;
    if (user.isEmpty()) {
        home = homeDirectory();
    } else {
        const passwd* entry = getpwnam(toNative(user).constData());
        if (entry == nullptr) {
            return path;
        }
        home = fromNative(QByteArray(entry->pw_dir));
    }
    if (home.endsWith(QLatin1Char('/')) && home.size() > 1) {
        home.chop(1);
    }
    return home + rest;
}

QString abbreviateWithTilde(const QString& path) {
    const QString home = homeDirectory();
    if (home.isEmpty() || home == QLatin1String("/")) {
        return path;
    }
    if (path == home) {
        return QStringLiteral("~");
    }
    if (path.startsWith(home) && path.at(home.size()) == QLatin1Char('/')) {
        return QLatin1Char('~') + path.mid(home.size());
    }
    return path;
}

namespace {

QStringView withoutTrailingSlashes(QStringView path) {
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/')) {
        --end;
    }
    return path.left(end);
}

} // namespace

QStringView lastComponentView(QStringView path) {
    const QStringView trimmed = withoutTrailingSlashes(path);
    if (trimmed == QLatin1String("/")) {
        return trimmed;
    }
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

QStringView extensionView(QStringView path) {
    const QStringView last = lastComponentView(path);
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QStringView() : last.mid(dot + 1);
}

QString lastComponent(const QString& path) {
    const QStringView last = lastComponentView(path);
    // Share the string's data when the path is already its last component.
    return last.size() == path.size() ? path : last.toString();
}

QString extension(const QString& path) {
    const QStringView view = extensionView(path);
    return view.isEmpty() ? QString(QLatin1String("")) : view.toString();
}

QString deletingExtension(const QString& path) {
    const QStringView trimmed = withoutTrailingSlashes(path);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = trimmed.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash) {
        return trimmed.size() == path.size() ? path : trimmed.toString();
    }
    return trimmed.left(dot).toString();
}

QString appendingComponent(const QString& path, const QString& component) {
    if (path.isEmpty()) {
        return component;
    }
    QString joined;
    joined.reserve(path.size() + 1 + component.size());
    joined.append(path);
    if (!path.endsWith(QLatin1Char('/'))) {
        joined.append(QLatin1Char('/'));
    }
    joined.append(component);
    return joined;
}

QUrl fileUrl(const QString& path) {
    const QByteArray encoded = QByteArray("file://") + toNative(path).toPercentEncoding("/");
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QString localPath(const QUrl& url) {
    if (!url.isValid() || url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0) {
        return {};
    }
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) {
        return {};
    }
    const QByteArray encodedPath = url.path(QUrl::FullyEncoded).toLatin1();
    if (encodedPath.isEmpty()) {
        return {};
    }
    const QByteArray decoded = QByteArray::fromPercentEncoding(encodedPath);
    // "/C:/..." is a Windows drive path from another machine, not a path here.
    if (decoded.size() >= 3 && decoded[0] == '/' && std::isalpha(static_cast<unsigned char>(decoded[1])) &&
        decoded[2] == ':' && (decoded.size() == 3 || decoded[3] == '/' || decoded[3] == '\\')) {
        return {};
    }
    return fromNative(decoded);
}

} // namespace Path
