#include "platform/network/RemoteFiles.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/NetworkHelper.h"
#include "platform/network/ShareDirectory.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"

#include <QMimeDatabase>

namespace RemoteFiles {

namespace {

constexpr std::chrono::seconds kSilence(30);
constexpr qsizetype kMaxNameBytes = 200;

} // namespace

bool isRemote(const QUrl& url) {
    return isStreamable(url) || ShareDirectory::isShareLocation(url.toString());
}

bool isStreamable(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QByteArray fetch(const QUrl& url, qsizetype maxBytes, LoadProgress& progress) {
    if (!isRemote(url) || maxBytes <= 0) {
        return {};
    }
    const NetworkHelper::Answer answer = NetworkHelper::shared().request(
        {std::string(HelperProtocol::kFetch), {}, url.toEncoded().toStdString(), std::to_string(maxBytes)},
        progress, kSilence);
    if (!answer.ok || answer.message.size() < 3 || answer.message[0] != HelperProtocol::kData) {
        return {};
    }
    return QByteArray::fromStdString(answer.message[2]);
}

QString fileNameFor(const QString& title, const QUrl& url, const QString& mime) {
    QString name;
    for (const QChar c : title.trimmed()) {
        name.append(c == QLatin1Char('/') || c.unicode() < 0x20 ? QLatin1Char('_') : c);
    }
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        name = QStringLiteral("file");
    }
    if (name.startsWith(QLatin1Char('.'))) {
        name.prepend(QLatin1Char('_')); // never a hidden file
    }
    QString extension = Path::extension(url.fileName());
    if (extension.isEmpty() || extension.size() > 8) {
        extension = QMimeDatabase().mimeTypeForName(mime).preferredSuffix();
    }
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    while (name.toUtf8().size() + suffix.toUtf8().size() > kMaxNameBytes) {
        name.chop(1);
    }
    if (!suffix.isEmpty() && !name.endsWith(suffix, Qt::CaseInsensitive)) {
        name += suffix;
    }
    return name;
}

QString cacheFolder() {
    return UserDirectories::cacheHome() + QStringLiteral("/QVMediaBrowser/network");
}

} // namespace RemoteFiles
