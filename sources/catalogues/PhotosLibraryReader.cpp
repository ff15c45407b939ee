#include "sources/catalogues/PhotosLibraryReader.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueSql.h"
#include "sources/catalogues/CatalogueUrl.h"
#include "sources/catalogues/GroupHierarchy.h"
#include "sources/catalogues/ItemsById.h"
#include "sources/catalogues/RowProgress.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace PhotosLibraryReader {

namespace {

using CatalogueSql::column;

// Core Data counts time in seconds from 2001-01-01 UTC.
constexpr qint64 coreDataEpoch = 978307200;

// Kinds of album: the user's albums and folders; the top folder holding
// them is not shown.
constexpr qint64 albumKind = 2;
constexpr qint64 folderKind = 4000;

constexpr qint64 videoKind = 1;

// The table joining albums and their assets, and its columns. Core Data
// names it after the entities' numbers, which change between releases
// ("Z_26ASSETS", "Z_28ASSETS", ...).
struct AlbumMembers {
    QString table;
    QString album;
    QString asset;
    QString order; // NULL when the table keeps no order
};

AlbumMembers findAlbumMembers(SqliteReader& db) {
    static const QRegularExpression tableName(QStringLiteral("^Z_\\d+ASSETS$"));
    static const QRegularExpression albumColumn(QStringLiteral("^z_\\d+albums$"));
    static const QRegularExpression assetColumn(QStringLiteral("^z_\\d+assets$"));
    static const QRegularExpression orderColumn(QStringLiteral("^z_fok_\\d+assets$"));
    QStringList tables;
    db.query(
        QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'Z\\_%ASSETS' ESCAPE '\\' "
            "ORDER BY name"),
        [&tables](const SqliteRow& row) { tables << row.text(0); });
    for (const QString& table : tables) {
        if (!tableName.match(table).hasMatch()) {
            continue;
        }
        AlbumMembers members{table, {}, {}, QStringLiteral("NULL")};
        for (const QString& name : db.columns(table)) {
            if (albumColumn.match(name).hasMatch()) {
                members.album = name;
            } else if (assetColumn.match(name).hasMatch()) {
                members.asset = name;
            } else if (orderColumn.match(name).hasMatch()) {
                members.order = name;
            }
        }
        if (!members.album.isEmpty() && !members.asset.isEmpty()) {
            return members;
        }
    }
    return {};
}

// The derivatives (thumbnails) of the bundle by asset UUID: files named
// "UUID_…" in one directory per first character of the UUID.
QHash<QString, QString> derivatives(const QString& bundle) {
    QHash<QString, QString> byUuid;
    const QString base = bundle + QStringLiteral("/resources/derivatives");
    FileSystem::forEachEntry(base, [&](const FileSystem::DirectoryEntry& directory) {
        if (directory.type != FileSystem::EntryType::Directory ||
            directory.name == QLatin1String("masters")) {
            return true;
        }
        const QString path = base + QLatin1Char('/') + directory.name;
        FileSystem::forEachEntry(path, [&](const FileSystem::DirectoryEntry& entry) {
            const qsizetype underscore = entry.name.indexOf(QLatin1Char('_'));
            if (underscore > 0 && entry.name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive)) {
                byUuid.insert(entry.name.left(underscore), path + QLatin1Char('/') + entry.name);
            }
            return true;
        });
        return true;
    });
    return byUuid;
}

QString dayName(const QDate& date) {
    return QLocale::c().toString(date, QStringLiteral("MMMM d, yyyy"));
}

} // namespace

QString databaseOf(const QString& bundle) {
    return bundle + QStringLiteral("/database/Photos.sqlite");
}

CatalogueContents read(const QString& bundle, Media media, LoadProgress& progress) {
    const bool videos = media == Media::Videos;
    const QString originals = FileSystem::isDirectory(bundle + QStringLiteral("/originals"))
                                  ? bundle + QStringLiteral("/originals/")
                                  : bundle + QStringLiteral("/Masters/");
    const QHash<QString, QString> thumbnails = videos ? QHash<QString, QString>() : derivatives(bundle);

    CatalogueContents contents;
    const bool ok = SqliteReader::read(databaseOf(bundle), [&](SqliteReader& db) {
        contents = {};
        const QString assets = db.hasTable(QStringLiteral("ZASSET")) ? QStringLiteral("ZASSET")
                                                                     : QStringLiteral("ZGENERICASSET");
        const QStringList columns = db.columns(assets);
        if (!columns.contains(QLatin1String("zfilename")) || !columns.contains(QLatin1String("zdirectory"))) {
            return true; // not a store this reader knows
        }
        // Titles and the names files had when imported live beside the assets.
        const QStringList attributeColumns = db.columns(QStringLiteral("ZADDITIONALASSETATTRIBUTES"));
        const bool attributes = attributeColumns.contains(QLatin1String("zasset"));
        const QString sql =
            QStringLiteral(
                "SELECT a.Z_PK, a.ZUUID, a.ZDIRECTORY, a.ZFILENAME, %1, %2, %3, %4, %5, %6 FROM %7 a %8 "
                "ORDER BY %1, a.Z_PK")
                .arg(columns.contains(QLatin1String("zdatecreated")) ? QStringLiteral("a.ZDATECREATED")
                                                                     : QStringLiteral("a.Z_PK"),
                     columns.contains(QLatin1String("zkind")) ? QStringLiteral("a.ZKIND")
                                                              : QStringLiteral("NULL"),
                     columns.contains(QLatin1String("ztrashedstate")) ? QStringLiteral("a.ZTRASHEDSTATE")
                                                                      : QStringLiteral("NULL"),
                     columns.contains(QLatin1String("zhidden")) ? QStringLiteral("a.ZHIDDEN")
                                                                : QStringLiteral("NULL"),
                     attributes && attributeColumns.contains(QLatin1String("ztitle"))
                         ? QStringLiteral("t.ZTITLE")
                         : QStringLiteral("NULL"),
                     attributes && attributeColumns.contains(QLatin1String("zoriginalfilename"))
                         ? QStringLiteral("t.ZORIGINALFILENAME")
                         : QStringLiteral("NULL"),
                     assets,
                     attributes
                         ? QStringLiteral("LEFT JOIN ZADDITIONALASSETATTRIBUTES t ON t.ZASSET = a.Z_PK")
                         : QString());
        CatalogueGroup moments{
            QStringLiteral("Moments"), CatalogueGroup::Kind::Folder, {}, {}, QStringLiteral("moments")};
        // The local day of the last moment, as seconds [from, to): assets
        // come in time order, so most fall in the day of the one before.
        qint64 dayFrom = 0;
        qint64 dayTo = 0;
        ItemsById index;
        RowProgress rows(progress, CatalogueSql::highestRowId(db, assets), 0.0, 0.85);
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            const qint64 id = row.integer(0);
            if (!rows.next(id) || row.integer(6) != 0 || row.integer(7) != 0) {
                return; // cancelled, trashed or hidden
            }
            if ((row.integer(5) == videoKind) != videos) {
                return;
            }
            const QString directory = row.path(2);
            const QString file = row.path(3);
            if (file.isEmpty() || file.contains(QLatin1Char('/')) ||
                directory.contains(QLatin1String(".."))) {
                return;
            }
            const QString path =
                originals + (directory.isEmpty() ? file : directory + QLatin1Char('/') + file);
            QString title = row.text(8);
            if (title.isEmpty()) {
                title = Path::deletingExtension(row.text(9).isEmpty() ? file : row.text(9));
            }
            MediaItemPtr item;
            if (videos) {
                item = std::make_shared<QVMovie>(CatalogueUrl::fromPath(path), title);
            } else {
                const QString thumb = thumbnails.isEmpty() ? path : thumbnails.value(row.text(1), path);
                item = std::make_shared<Photo>(title, QString(), path, thumb);
            }
            // Moments: one per day, in the user's time zone as Photos shows them.
            const qint64 created = coreDataEpoch + static_cast<qint64>(row.real(4));
            if (created < dayFrom || created >= dayTo || moments.groups.empty()) {
                const QDate day = QDateTime::fromSecsSinceEpoch(created).date();
                dayFrom = QDateTime(day, QTime(0, 0)).toSecsSinceEpoch();
                dayTo = std::max(QDateTime(day.addDays(1), QTime(0, 0)).toSecsSinceEpoch(), created + 1);
                moments.groups.push_back({dayName(day),
                                          CatalogueGroup::Kind::Event,
                                          {},
                                          {},
                                          QStringLiteral("day-") + day.toString(Qt::ISODate)});
            }
            moments.groups.back().items.push_back(item);
            index.add(id, contents.items.size());
            contents.items.push_back(std::move(item));
        });
        if (!listed || rows.cancelled()) {
            return false;
        }
        index.finish();
        if (!moments.groups.empty()) {
            contents.groups.push_back(std::move(moments));
        }

        // Albums in their folders.
        const QStringList albumColumns = db.columns(QStringLiteral("ZGENERICALBUM"));
        const AlbumMembers members = findAlbumMembers(db);
        if (!albumColumns.contains(QLatin1String("zkind")) || members.table.isEmpty()) {
            return true;
        }
        GroupHierarchy albums;
        db.query(QStringLiteral("SELECT Z_PK, %1, %2, ZKIND, %3, %4 FROM ZGENERICALBUM ORDER BY Z_PK")
                     .arg(column(albumColumns, QStringLiteral("ZTITLE")),
                          column(albumColumns, QStringLiteral("ZPARENTFOLDER")),
                          column(albumColumns, QStringLiteral("ZTRASHEDSTATE")),
                          column(albumColumns, QStringLiteral("ZUUID"))),
                 [&](const SqliteRow& row) {
                     const qint64 kind = row.integer(3);
                     if ((kind != albumKind && kind != folderKind) || row.integer(4) != 0) {
                         return;
                     }
                     albums.add(row.integer(0), row.integer(2), row.text(1),
                                kind == albumKind ? CatalogueGroup::Kind::Album
                                                  : CatalogueGroup::Kind::Folder,
                                row.text(5).isEmpty() ? QStringLiteral("album-%1").arg(row.integer(0))
                                                      : row.text(5));
                 });
        progress.setFraction(0.9);
        db.query(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1, %4")
                     .arg(members.album, members.asset, CatalogueSql::quoted(members.table), members.order),
                 [&](const SqliteRow& row) {
                     GroupHierarchy::Node* album = albums.find(row.integer(0));
                     const std::size_t item = index.find(row.integer(1));
                     if (album != nullptr && item != ItemsById::none) {
                         album->items.push_back(contents.items[item]);
                     }
                 });
        if (std::vector<CatalogueGroup> found = albums.takeGroups(); !found.empty()) {
            contents.groups.push_back({QStringLiteral("Albums"),
                                       CatalogueGroup::Kind::Folder,
                                       {},
                                       std::move(found),
                                       QStringLiteral("albums")});
        }
        return !progress.isCancelled();
    });
    if (!ok) {
        return CatalogueContents::failure();
    }
    return contents;
}

} // namespace PhotosLibraryReader
