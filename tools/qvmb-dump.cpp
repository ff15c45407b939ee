// qvmb-dump [--filter TEXT]: prints, as one JSON document, the three source
// trees the browser builds from the user's preferences and catalogues, with
// every folder loaded. Shows what the model makes of a user's files.

#include "model/Photo.h"
#include "model/QVMedia.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/system/Path.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/local/LocalFolder.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cstdio>

namespace {

QJsonValue text(const QString& value) {
    return value.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

QJsonObject dumpItem(const MediaItemPtr& item) {
    QJsonObject object;
    object.insert(QStringLiteral("name"), text(item->name()));
    if (const auto photo = std::dynamic_pointer_cast<Photo>(item)) {
        object.insert(QStringLiteral("kind"), QStringLiteral("photo"));
        object.insert(QStringLiteral("path"), text(photo->path()));
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
    if (args.size() == 3 && args.at(1) == QLatin1String("--filter")) {
        filter = args.at(2).trimmed();
    } else if (args.size() != 1) {
        std::fprintf(stderr, "usage: qvmb-dump [--filter TEXT]\n");
        return 2;
    }

    // The roots as the browser window makes them, filled from the preferences.
    QVMedia media;
    media.setPhotos(std::make_shared<MediaFolder>());
    media.setMusic(std::make_shared<MediaFolder>());
    media.setMovies(std::make_shared<MediaFolder>());
    media.awakeFromNib();

    QJsonObject document;
    document.insert(QStringLiteral("pictures"), dumpRoot(media.photos(), filter));
    document.insert(QStringLiteral("music"), dumpRoot(media.music(), filter));
    document.insert(QStringLiteral("movies"), dumpRoot(media.movies(), filter));
    const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
    return 0;
}
