// qvmb-dump [--filter TEXT] [--network-wait SECONDS]: prints, as one JSON
// document, the three source trees the browser builds from the user's
// preferences and catalogues, with every folder loaded. Shows what the model
// makes of a user's files. When the browser looks for media servers, it
// first gives them the time they take to answer (3 seconds unless told), as
// the window would show them, and prints them with the rest.

#include "model/Photo.h"
#include "model/QVMedia.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/network/MediaServers.h"
#include "platform/network/NetworkHelper.h"
#include "platform/system/Path.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/local/LocalFolder.h"
#include "sources/network/MediaServerFolder.h"
#include "sources/network/NetworkItems.h"
#include "sources/network/ShareFolder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QTimer>

#include <cstdio>

namespace {

QJsonValue text(const QString& value) {
    return value.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

// What a media server said of an item, beside what every item has.
void addServerDetails(const MediaItem& item, QJsonObject& object) {
    const ServerItemDetails* details = NetworkItems::detailsOf(item);
    if (details == nullptr) {
        return;
    }
    object.insert(QStringLiteral("url"), QString::fromUtf8(item.url().toEncoded()));
    if (!details->thumbnail.isEmpty()) {
        object.insert(QStringLiteral("thumbnail"), QString::fromUtf8(details->thumbnail.toEncoded()));
    }
    if (!details->album.isEmpty()) {
        object.insert(QStringLiteral("album"), details->album);
    }
    if (details->durationMs >= 0) {
        object.insert(QStringLiteral("durationMs"), details->durationMs);
    }
    if (!details->resolution.isEmpty()) {
        object.insert(
            QStringLiteral("resolution"),
            QStringLiteral("%1x%2").arg(details->resolution.width()).arg(details->resolution.height()));
    }
    if (details->size >= 0) {
        object.insert(QStringLiteral("size"), details->size);
    }
}

QJsonObject dumpItem(const MediaItemPtr& item) {
    QJsonObject object;
    object.insert(QStringLiteral("name"), text(item->name()));
    addServerDetails(*item, object);
    if (const auto photo = std::dynamic_pointer_cast<Photo>(item)) {
        object.insert(QStringLiteral("kind"), QStringLiteral("photo"));
        object.insert(QStringLiteral("path"), text(photo->path()));
        if (photo->path().isEmpty()) {
            return object; // a media server's (its URL and details above)
        }
        object.insert(QStringLiteral("thumbPath"), text(photo->thumbPath()));
        return object;
    }
    QUrl url;
    if (const auto track = std::dynamic_pointer_cast<QVTrack>(item)) {
        object.insert(QStringLiteral("kind"), QStringLiteral("track"));
        object.insert(QStringLiteral("artist"), text(track->artist()));
        object.insert(QStringLiteral("length"), static_cast<qint64>(track->length()));
        url = track->url();
    } else {
        object.insert(QStringLiteral("kind"), QStringLiteral("movie"));
        url = item->url();
    }
    object.insert(QStringLiteral("url"), url.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                       : QJsonValue(QString::fromUtf8(url.toEncoded())));
    const QString path = Path::localPath(url);
    if (!path.isNull()) {
        object.insert(QStringLiteral("path"), path);
    }
    return object;
}

const char* typeName(const MediaFolderPtr& folder) {
    if (std::dynamic_pointer_cast<IPhotoFolder>(folder)) {
        return "IPhotoFolder";
    }
    if (std::dynamic_pointer_cast<ITunesFolder>(folder)) {
        return "ITunesFolder";
    }
    if (std::dynamic_pointer_cast<LocalFolder>(folder)) {
        return "LocalFolder";
    }
    if (std::dynamic_pointer_cast<MediaServerFolder>(folder)) {
        return "MediaServerFolder";
    }
    if (std::dynamic_pointer_cast<ShareFolder>(folder)) {
        return "ShareFolder";
    }
    return "MediaFolder";
}

QJsonObject dumpFolder(const MediaFolderPtr& folder, const QString& filter) {
    QJsonArray folders;
    for (const auto& child : folder->folders()) {
        folders.append(dumpFolder(child, filter));
    }
    QJsonArray files;
    for (const auto& item : folder->files()) {
        if (filter.isEmpty() || item->matchesFilter(filter)) {
            files.append(dumpItem(item));
        }
    }
    QJsonObject object;
    object.insert(QStringLiteral("name"), text(folder->name()));
    object.insert(QStringLiteral("type"), QLatin1String(typeName(folder)));
    object.insert(QStringLiteral("folders"), folders);
    object.insert(QStringLiteral("files"), files);
    return object;
}

QJsonArray dumpRoot(const MediaFolderPtr& root, const QString& filter) {
    QJsonArray folders;
    for (const auto& folder : root->folders()) {
        folders.append(dumpFolder(folder, filter));
    }
    return folders;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QString filter;
    double networkWait = 3.0;
    for (qsizetype i = 1; i < args.size(); i += 2) {
        if (i + 1 < args.size() && args.at(i) == QLatin1String("--filter")) {
            filter = args.at(i + 1).trimmed();
        } else if (i + 1 < args.size() && args.at(i) == QLatin1String("--network-wait")) {
            networkWait = args.at(i + 1).toDouble();
        } else {
            std::fprintf(stderr, "usage: qvmb-dump [--filter TEXT] [--network-wait SECONDS]\n");
            return 2;
        }
    }

    // The roots as the browser window makes them, filled from the preferences.
    QVMedia media;
    media.setPhotos(std::make_shared<MediaFolder>());
    media.setMusic(std::make_shared<MediaFolder>());
    media.setMovies(std::make_shared<MediaFolder>());
    media.awakeFromNib();
    // The media servers that answer within the wait come in as the window
    // would show them; then every folder is read like any other.
    if (MediaServers::shared().isEnabled() && !NetworkHelper::programPath().isEmpty() && networkWait > 0) {
        QEventLoop settle;
        QTimer::singleShot(static_cast<int>(networkWait * 1000), &settle, &QEventLoop::quit);
        settle.exec();
    }

    QJsonObject document;
    document.insert(QStringLiteral("pictures"), dumpRoot(media.photos(), filter));
    document.insert(QStringLiteral("music"), dumpRoot(media.music(), filter));
    document.insert(QStringLiteral("movies"), dumpRoot(media.movies(), filter));
    const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
    return 0;
}
