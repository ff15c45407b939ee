#include "sources/catalogues/LightroomReader.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueGroupTree.h"
#include "sources/catalogues/CatalogueSql.h"
#include "sources/catalogues/CatalogueUrl.h"
#include "sources/catalogues/GroupHierarchy.h"
#include "sources/catalogues/ItemsById.h"
#include "sources/catalogues/RowProgress.h"

#include <QHash>

#include <map>

namespace LightroomReader {

namespace {

using CatalogueSql::column;

// Lightroom's kinds of collection, by their creation id.
const QLatin1String kCollection("com.adobe.ag.library.collection");
const QLatin1String kCollectionSet("com.adobe.ag.library.group");

// A root folder as found here, and its group of folders.
struct Root {
    QString location; // the root's directory here, or what to show for it
    bool found = false;
    CatalogueGroupTree folders;
    QString name;
};

QString withSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// The item of a picture or video at path (a local path when its root was
// found, otherwise the location as Lightroom names it), whose file name
// starts at nameStart, with its preview file if it has one.
MediaItemPtr itemFor(const QString& path, qsizetype nameStart, bool found, bool videos,
                     const QString& preview) {
    if (videos) {
        const QUrl url = found ? CatalogueUrl::fromPath(path) : CatalogueUrl::fromLocation(path);
        return std::make_shared<QVMovie>(url.isEmpty() ? QUrl(QStringLiteral("file:") + path) : url,
                                         found ? QString() : path.mid(nameStart));
    }
    return found ? Photo::photoNamedAfterFile(path, preview.isEmpty() ? path : preview)
                 // The preview lies beside the catalogue: it shows while the picture's disk is away.
                 : std::make_shared<Photo>(Path::deletingExtension(path.mid(nameStart)), QString(), path,
                                           preview.isEmpty() ? path : preview);
}

// Adds the groups of the catalogue's collections and collection sets.
void readCollections(SqliteReader& db, const ItemsById& index, const std::vector<MediaItemPtr>& items,
                     std::vector<CatalogueGroup>& groups) {
    const QStringList columns = db.columns(QStringLiteral("AgLibraryCollection"));
    if (!columns.contains(QLatin1String("creationid"))) {
        return;
    }
    GroupHierarchy collections;
    db.query(QStringLiteral(
                 "SELECT id_local, %1, %2, creationId, %3 FROM AgLibraryCollection ORDER BY %1, id_local")
                 .arg(column(columns, QStringLiteral("name")), column(columns, QStringLiteral("parent")),
                      column(columns, QStringLiteral("systemOnly"))),
             [&](const SqliteRow& row) {
                 const QString creation = row.text(3);
                 // Quick collection and the other collections Lightroom keeps for itself.
                 if (row.integer(4) != 0 && row.text(4) != QLatin1String("0")) {
                     return;
                 }
                 if (creation == kCollection || creation == kCollectionSet) {
                     collections.add(row.integer(0), row.integer(2), row.text(1),
                                     creation == kCollection ? CatalogueGroup::Kind::Album
                                                             : CatalogueGroup::Kind::Folder,
                                     QStringLiteral("collection-%1").arg(row.integer(0)));
                 }
             });
    const QStringList memberColumns = db.columns(QStringLiteral("AgLibraryCollectionImage"));
    if (memberColumns.contains(QLatin1String("collection"))) {
        db.query(
            QStringLiteral(
                "SELECT collection, image FROM AgLibraryCollectionImage ORDER BY collection, %1, id_local")
                .arg(column(memberColumns, QStringLiteral("positionInCollection"))),
            [&](const SqliteRow& row) {
                GroupHierarchy::Node* collection = collections.find(row.integer(0));
                const std::size_t item = index.find(row.integer(1));
                if (collection != nullptr && item != ItemsById::none) {
                    collection->items.push_back(items[item]);
                }
            });
    }
    if (std::vector<CatalogueGroup> found = collections.takeGroups(); !found.empty()) {
        groups.push_back({QStringLiteral("Collections"),
                          CatalogueGroup::Kind::Folder,
                          {},
                          std::move(found),
                          QStringLiteral("collections")});
    }
}

// Adds the group of the keyword tree: Lightroom 4 and later keep keywords in
// tables of their own; Lightroom 3 among its tags, of the keyword kind.
void readKeywords(SqliteReader& db, const ItemsById& index, const std::vector<MediaItemPtr>& items,
                  std::vector<CatalogueGroup>& groups) {
    QString keywordSql;
    QString memberSql;
    if (db.hasTable(QStringLiteral("AgLibraryKeyword"))) {
        keywordSql = QStringLiteral(
            "SELECT id_local, name, parent FROM AgLibraryKeyword ORDER BY lower(name), id_local");
        memberSql = QStringLiteral("SELECT tag, image FROM AgLibraryKeywordImage ORDER BY tag, image");
    } else if (db.columns(QStringLiteral("AgLibraryTag")).contains(QLatin1String("kindname"))) {
        keywordSql = QStringLiteral("SELECT id_local, name, parent FROM AgLibraryTag WHERE kindName = "
                                    "'AgKeywordTagKind' ORDER BY lower(name), id_local");
        memberSql =
            QStringLiteral("SELECT tag, image FROM AgLibraryTagImage WHERE tagKind = 'AgKeywordTagKind' "
                           "ORDER BY tag, image");
    } else {
        return;
    }
    GroupHierarchy keywords;
    db.query(keywordSql, [&](const SqliteRow& row) {
        // The tree's root is a keyword without a name, the parent of the top keywords.
        if (!row.text(1).isEmpty()) {
            keywords.add(row.integer(0), row.integer(2), row.text(1), CatalogueGroup::Kind::Tag,
                         QStringLiteral("keyword-%1").arg(row.integer(0)));
        }
    });
    db.query(memberSql, [&](const SqliteRow& row) {
        GroupHierarchy::Node* keyword = keywords.find(row.integer(0));
        const std::size_t item = index.find(row.integer(1));
        if (keyword != nullptr && item != ItemsById::none) {
            keyword->items.push_back(items[item]);
        }
    });
    if (std::vector<CatalogueGroup> found = keywords.takeGroups(); !found.empty()) {
        groups.push_back({QStringLiteral("Keywords"),
                          CatalogueGroup::Kind::Folder,
                          {},
                          std::move(found),
                          QStringLiteral("keywords")});
    }
}

// The preview file of each picture that has one, by the picture's id: the
// catalogue's previews folder ("<name> Previews.lrdata") lists them in its
// database, and keeps each as "<u>/<uuuu>/<uuid>-<digest>.lrprev" (u being
// the first letters of the picture's uuid). Nothing when there is none.
QHash<qint64, QString> previewFiles(const QString& catalogue, LoadProgress& progress) {
    QHash<qint64, QString> previews;
    const QString folder =
        Path::deletingExtension(catalogue) + QStringLiteral(" Previews.lrdata") + QLatin1Char('/');
    const QString database = folder + QStringLiteral("previews.db");
    if (!FileSystem::isRegularFile(database)) {
        return previews;
    }
    SqliteReader::read(database, progress, [&](SqliteReader& db) {
        previews.clear();
        const QStringList columns = db.columns(QStringLiteral("ImageCacheEntry"));
        if (!columns.contains(QLatin1String("imageid")) || !columns.contains(QLatin1String("uuid")) ||
            !columns.contains(QLatin1String("digest"))) {
            return true;
        }
        return db.query(
            QStringLiteral("SELECT imageId, uuid, digest FROM ImageCacheEntry"), [&](const SqliteRow& row) {
                const QString uuid = row.text(1);
                const QString digest = row.text(2);
                // Names that would lead out of the folder are no previews.
                if (uuid.size() < 4 || uuid.contains(QLatin1Char('/')) || digest.contains(QLatin1Char('/')) ||
                    uuid.startsWith(QLatin1Char('.'))) {
                    return;
                }
                previews.insert(row.integer(0), folder + uuid.left(1) + QLatin1Char('/') + uuid.left(4) +
                                                    QLatin1Char('/') + uuid + QLatin1Char('-') + digest +
                                                    QStringLiteral(".lrprev"));
            });
    });
    return previews;
}

} // namespace

CatalogueContents read(const QString& catalogue, Media media, const ForeignPaths& paths,
                       LoadProgress& progress) {
    const bool videos = media == Media::Videos;
    CatalogueContents contents;
    const QHash<qint64, QString> previews =
        videos ? QHash<qint64, QString>() : previewFiles(catalogue, progress);
    const bool ok = SqliteReader::read(catalogue, progress, [&](SqliteReader& db) {
        contents = {};
        const QStringList imageColumns = db.columns(QStringLiteral("Adobe_images"));
        if (!imageColumns.contains(QLatin1String("rootfile")) ||
            !db.hasTable(QStringLiteral("AgLibraryFile")) ||
            !db.hasTable(QStringLiteral("AgLibraryFolder")) ||
            !db.hasTable(QStringLiteral("AgLibraryRootFolder"))) {
            return true; // not a catalogue this reader knows
        }
        // The root folders, few: each found here once.
        std::map<qint64, Root> roots;
        std::vector<qint64> rootOrder;
        db.query(
            QStringLiteral("SELECT id_local, absolutePath, name FROM AgLibraryRootFolder ORDER BY id_local"),
            [&](const SqliteRow& row) {
                const ForeignPaths::Folder folder = paths.find(row.text(1));
                Root& root = roots[row.integer(0)];
                root.location = withSlash(folder.location);
                root.found = folder.found;
                const QString name =
                    row.text(2).isEmpty() ? Path::lastComponent(folder.location) : row.text(2);
                root.name = folder.found ? name : QStringLiteral("%1 (offline)").arg(name);
                rootOrder.push_back(row.integer(0));
            });
        // Each folder's place in its root's tree and the start of its files'
        // paths, made once per folder.
        struct FolderPlace {
            CatalogueGroupTree::Node* node = nullptr;
            QString prefix;
            bool found = false;
        };
        QHash<qint64, FolderPlace> folderPlaces;
        CatalogueGroup picked{
            QStringLiteral("Picks"), CatalogueGroup::Kind::SmartPlaylist, {}, {}, QStringLiteral("picks")};
        ItemsById index;
        RowProgress rows(progress, CatalogueSql::highestRowId(db, QStringLiteral("Adobe_images")), 0.0, 0.8);
        const QString sql =
            QStringLiteral(
                "SELECT i.id_local, %1, %2, f.baseName, f.extension, fo.pathFromRoot, fo.rootFolder, "
                "fo.id_local FROM Adobe_images i JOIN AgLibraryFile f ON f.id_local = i.rootFile "
                "JOIN AgLibraryFolder fo ON fo.id_local = f.folder ORDER BY %3, i.id_local")
                .arg(imageColumns.contains(QLatin1String("pick")) ? QStringLiteral("i.pick")
                                                                  : QStringLiteral("NULL"),
                     imageColumns.contains(QLatin1String("fileformat")) ? QStringLiteral("i.fileFormat")
                                                                        : QStringLiteral("NULL"),
                     imageColumns.contains(QLatin1String("capturetime")) ? QStringLiteral("i.captureTime")
                                                                         : QStringLiteral("i.id_local"));
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            const qint64 id = row.integer(0);
            if (!rows.next(id) || row.real(1) < 0) {
                return; // cancelled, or rejected
            }
            if ((row.bytes(2) == "VIDEO") != videos) {
                return;
            }
            FolderPlace& place = folderPlaces[row.integer(7)];
            if (place.node == nullptr) {
                const auto root = roots.find(row.integer(6));
                if (root == roots.end()) {
                    folderPlaces.remove(row.integer(7));
                    return;
                }
                const QString folderPath = row.text(5);
                place.node = &root->second.folders.root();
                for (const QStringView part : QStringView(folderPath).split(u'/', Qt::SkipEmptyParts)) {
                    place.node = &place.node->child(part.toString());
                }
                place.prefix = withSlash(root->second.location + folderPath);
                place.found = root->second.found;
            }
            // The path in one piece: the folder's, the file's base name and extension.
            const QByteArrayView base = row.bytes(3);
            const QByteArrayView extension = row.bytes(4);
            QString path;
            path.reserve(place.prefix.size() + base.size() + extension.size() + 1);
            path += place.prefix;
            path += QString::fromUtf8(base);
            if (!extension.isEmpty()) {
                path += QLatin1Char('.');
                path += QString::fromUtf8(extension);
            }
            MediaItemPtr item = itemFor(path, place.prefix.size(), place.found, videos, previews.value(id));
            CatalogueGroupTree::Node* node = place.node;
            node->items.push_back(item);
            if (row.real(1) > 0) {
                picked.items.push_back(item);
            }
            index.add(id, contents.items.size());
            contents.items.push_back(std::move(item));
        });
        if (!listed || rows.cancelled()) {
            return false;
        }
        index.finish();

        CatalogueGroup folders{
            QStringLiteral("Folders"), CatalogueGroup::Kind::Folder, {}, {}, QStringLiteral("folders")};
        for (const qint64 id : rootOrder) {
            Root& root = roots[id];
            CatalogueGroup group{
                root.name, CatalogueGroup::Kind::Folder, std::move(root.folders.root().items),
                root.folders.takeGroups(CatalogueGroup::Kind::Folder), QStringLiteral("root-%1").arg(id)};
            if (!group.items.empty() || !group.groups.empty()) {
                folders.groups.push_back(std::move(group));
            }
        }
        if (!folders.groups.empty()) {
            contents.groups.push_back(std::move(folders));
        }
        progress.setFraction(0.85);
        readCollections(db, index, contents.items, contents.groups);
        progress.setFraction(0.9);
        readKeywords(db, index, contents.items, contents.groups);
        if (!picked.items.empty()) {
            contents.groups.push_back(std::move(picked));
        }
        return !progress.isCancelled();
    });
    if (!ok) {
        return CatalogueContents::failure();
    }
    return contents;
}

} // namespace LightroomReader
