#include "platform/network/ContentDirectory.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/NetworkHelper.h"

namespace ContentDirectory {

namespace {

// A server has this long to say anything about a page before the page
// counts as lost (the helper's own limit for an answer is shorter).
constexpr std::chrono::seconds kSilence(40);

qint64 number(const std::string& text) {
    if (text.empty()) {
        return -1;
    }
    bool ok = false;
    const qint64 value = QByteArray::fromStdString(text).toLongLong(&ok);
    return ok && value >= 0 ? value : -1;
}

QString string(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QSize resolution(const std::string& text) {
    const QString value = string(text);
    const qsizetype cross = value.indexOf(QLatin1Char('x'));
    if (cross <= 0) {
        return {};
    }
    bool widthOk = false;
    bool heightOk = false;
    const int width = value.left(cross).toInt(&widthOk);
    const int height = value.mid(cross + 1).toInt(&heightOk);
    return widthOk && heightOk && width > 0 && height > 0 ? QSize(width, height) : QSize();
}

QUrl allowedUrl(const std::string& text, const QString& host) {
    if (text.empty()) {
        return {};
    }
    const QUrl url(string(text), QUrl::StrictMode);
    return isAllowedUrl(url, host) ? url : QUrl();
}

ServerPage pageFrom(const NetworkHelper::Answer& answer, const QString& host) {
    ServerPage page;
    if (!answer.ok) {
        page.failure = answer.failure;
        return page;
    }
    const HelperProtocol::Message& message = answer.message;
    if (message.size() < 4 || message[0] != HelperProtocol::kPage) {
        page.failure = QStringLiteral("the helper answered something else");
        return page;
    }
    page.totalMatches = std::max<qint64>(0, number(message[2]));
    const qint64 count = number(message[3]);
    if (count < 0 || static_cast<std::size_t>(count) * HelperProtocol::kObjectFields != message.size() - 4) {
        page.failure = QStringLiteral("the helper's page is malformed");
        return page;
    }
    page.objects.reserve(static_cast<std::size_t>(count));
    for (std::size_t at = 4; at < message.size(); at += HelperProtocol::kObjectFields) {
        const auto field = [&](std::size_t index) -> const std::string& {
            return message[at + index];
        };
        ServerObject object;
        object.isContainer = field(HelperProtocol::ObjectKind) == "c";
        object.id = string(field(HelperProtocol::ObjectId));
        object.title = string(field(HelperProtocol::ObjectTitle));
        object.upnpClass = string(field(HelperProtocol::ObjectClass));
        object.artist = string(field(HelperProtocol::ObjectArtist));
        object.album = string(field(HelperProtocol::ObjectAlbum));
        object.durationMs = number(field(HelperProtocol::ObjectDuration));
        object.resolution = resolution(field(HelperProtocol::ObjectResolution));
        object.size = number(field(HelperProtocol::ObjectSize));
        object.url = allowedUrl(field(HelperProtocol::ObjectUrl), host);
        object.mime = string(field(HelperProtocol::ObjectMime));
        object.thumbnail = allowedUrl(field(HelperProtocol::ObjectThumbnail), host);
        object.childCount = number(field(HelperProtocol::ObjectChildCount));
        page.objects.push_back(std::move(object));
    }
    page.ok = true;
    return page;
}

} // namespace

bool isAllowedUrl(const QUrl& url, const QString& serverHost) {
    if (!url.isValid() || serverHost.isEmpty()) {
        return false;
    }
    const QString scheme = url.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           url.host().compare(serverHost, Qt::CaseInsensitive) == 0;
}

ServerPage browse(const QString& udn, const QString& serverHost, const QString& objectId, unsigned start,
                  unsigned count, LoadProgress& progress) {
    const NetworkHelper::Answer answer =
        NetworkHelper::shared().request({std::string(HelperProtocol::kBrowse),
                                         {},
                                         udn.toStdString(),
                                         objectId.toStdString(),
                                         std::to_string(start),
                                         std::to_string(count)},
                                        progress, kSilence);
    return pageFrom(answer, serverHost);
}

ServerPage search(const QString& udn, const QString& serverHost, const QString& containerId,
                  const QString& criteria, unsigned start, unsigned count, LoadProgress& progress) {
    const NetworkHelper::Answer answer =
        NetworkHelper::shared().request({std::string(HelperProtocol::kSearch),
                                         {},
                                         udn.toStdString(),
                                         containerId.toStdString(),
                                         criteria.toStdString(),
                                         std::to_string(start),
                                         std::to_string(count)},
                                        progress, kSilence);
    return pageFrom(answer, serverHost);
}

QString criteriaForClass(const QString& upnpClassPrefix) {
    return QStringLiteral("upnp:class derivedfrom \"%1\"").arg(upnpClassPrefix);
}

} // namespace ContentDirectory
