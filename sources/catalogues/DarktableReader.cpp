#include "sources/catalogues/DarktableReader.h"

#include "model/Photo.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueGroupTree.h"
#include "sources/catalogues/CatalogueSql.h"
#include "sources/catalogues/ItemsById.h"
#include "sources/catalogues/RowProgress.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>

namespace DarktableReader {

namespace {

// The star rating in a picture's flags, and the two ways darktable marks a
// picture rejected: rating 6 before version 3.0, a flag of its own since.
constexpr qint64 ratingMask = 0x7;
constexpr qint64 ratingRejected = 6;
constexpr qint64 flagRejected = 0x8;

// Tags darktable sets itself (formats, history, export) rather than the user.
bool isInternalTag(const QString& name) {
    return name.startsWith(QLatin1String("darktable|"));
}

const char* const colourNames[colourLabelCount] = {"Red", "Yellow", "Green", "Blue", "Purple"};

// The tag names by id, from data.db when given and holding them, else from the library.
QHash<qint64, QString> tagNames(const QString& library, const QString& data) {
    QHash<qint64, QString> names;
    const auto readTags = [&names](SqliteReader& db) {
        names.clear();
        if (!db.columns(QStringLiteral("tags")).contains(QLatin1String("name"))) {
            return true;
        }
        return db.query(QStringLiteral("SELECT id, name FROM tags"), [&names](const SqliteRow& row) {
            const QString name = row.text(1);
            if (!name.isEmpty() && !isInternalTag(name)) {
                names.insert(row.integer(0), name);
            }
        });
    };
    if (!data.isNull()) {
        SqliteReader::read(data, readTags);
    }
    if (names.isEmpty()) {
        SqliteReader::read(library, readTags);
    }
    return names;
}

// The ids of the pictures whose cached thumbnails the directory holds ("ID.jpg").
QSet<qint64> cachedThumbnails(const QString& mipmaps) {
    QSet<qint64> ids;
    if (mipmaps.isNull()) {
        return ids;
    }
    FileSystem::forEachEntry(mipmaps, [&ids](const FileSystem::DirectoryEntry& entry) {
        if (entry.name.endsWith(QLatin1String(".jpg"))) {
            bool ok = false;
            const qint64 id = QStringView(entry.name).chopped(4).toLongLong(&ok);
            if (ok) {
                ids.insert(id);
            }
        }
        return true;
    });
    return ids;
}

QString lastComponent(const QString& folder) {
    QStringView path(folder);
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    const qsizetype slash = path.lastIndexOf(u'/');
    return (slash >= 0 && slash + 1 < path.size() ? path.mid(slash + 1) : path).toString();
}

} // namespace

CatalogueContents read(const QString& library, const QString& data, const QString& mipmaps,
                       LoadProgress& progress) {
    const QSet<qint64> thumbnails = cachedThumbnails(mipmaps);
    const QHash<qint64, QString> tags = tagNames(library, data);
    if (progress.isCancelled()) {
        return CatalogueContents::failure();
    }

    CatalogueContents contents;
    const bool ok = SqliteReader::read(library, [&](SqliteReader& db) {
        contents = {};
        const QStringList imageColumns = db.columns(QStringLiteral("images"));
        const QStringList rollColumns = db.columns(QStringLiteral("film_rolls"));
        if (!imageColumns.contains(QLatin1String("filename")) ||
            !rollColumns.contains(QLatin1String("folder"))) {
            return true; // not a library this reader knows: nothing to show
        }
        CatalogueGroup rolls{
            QStringLiteral("Film Rolls"), CatalogueGroup::Kind::Folder, {}, {}, QStringLiteral("rolls")};
        std::array<std::vector<MediaItemPtr>, 6> byRating;
        std::array<std::vector<MediaItemPtr>, colourLabelCount> byColour;
        ItemsById index;
        qint64 currentRoll = -1;
        RowProgress rows(progress, CatalogueSql::highestRowId(db, QStringLiteral("images")), 0.0, 0.8);
        const QString sql =
            QStringLiteral("SELECT i.id, i.film_id, i.filename, %1, f.folder FROM images i "
                           "JOIN film_rolls f ON f.id = i.film_id ORDER BY f.folder, i.film_id, "
                           "i.filename, i.id")
                .arg(imageColumns.contains(QLatin1String("flags")) ? QStringLiteral("i.flags")
                                                                   : QStringLiteral("NULL"));
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            const qint64 id = row.integer(0);
            if (!rows.next(id)) {
                return;
            }
            const qint64 flags = row.integer(3);
            const qint64 rating = flags & ratingMask;
            if (rating == ratingRejected || (flags & flagRejected) != 0) {
                return;
            }
            const QString folder = row.path(4);
            const QString file = row.path(2);
            if (folder.isEmpty() || file.isEmpty()) {
                return;
            }
            const QString path =
                folder.endsWith(QLatin1Char('/')) ? folder + file : folder + QLatin1Char('/') + file;
            const QString thumb = thumbnails.contains(id) ? mipmaps + QLatin1Char('/') + QString::number(id) +
                                                                QStringLiteral(".jpg")
                                                          : path;
            MediaItemPtr item = Photo::photoNamedAfterFile(path, thumb);
            const qint64 roll = row.integer(1);
            if (roll != currentRoll || rolls.groups.empty()) {
                currentRoll = roll;
                rolls.groups.push_back(
                    {lastComponent(folder), CatalogueGroup::Kind::Roll, {}, {}, QString::number(roll)});
            }
            rolls.groups.back().items.push_back(item);
            if (rating >= 1 && rating <= 5) {
                byRating[static_cast<std::size_t>(rating)].push_back(item);
            }
            index.add(id, contents.items.size());
            contents.items.push_back(std::move(item));
        });
        if (!listed || rows.cancelled()) {
            return false;
        }
        index.finish();

        // Colour labels: one row per picture and colour.
        if (db.hasTable(QStringLiteral("color_labels"))) {
            RowProgress labelRows(progress, 1, 0.8, 0.9);
            std::vector<std::array<bool, colourLabelCount>> marks(contents.items.size());
            db.query(QStringLiteral("SELECT imgid, color FROM color_labels ORDER BY imgid"),
                     [&](const SqliteRow& row) {
                         if (!labelRows.next(0)) {
                             return;
                         }
                         const std::size_t item = index.find(row.integer(0));
                         const qint64 colour = row.integer(1);
                         if (item != ItemsById::none && colour >= 0 && colour < colourLabelCount) {
                             marks[item][static_cast<std::size_t>(colour)] = true;
                         }
                     });
            for (std::size_t item = 0; item < marks.size(); ++item) {
                for (int colour = 0; colour < colourLabelCount; ++colour) {
                    if (marks[item][static_cast<std::size_t>(colour)]) {
                        byColour[static_cast<std::size_t>(colour)].push_back(contents.items[item]);
                    }
                }
            }
        }

        // Tags: "places|France|Paris" is Paris inside France inside places.
        CatalogueGroupTree tagTree;
        if (!tags.isEmpty() && db.hasTable(QStringLiteral("tagged_images"))) {
            RowProgress tagRows(progress, 1, 0.9, 1.0);
            QHash<qint64, std::vector<std::size_t>> tagged;
            db.query(QStringLiteral("SELECT tagid, imgid FROM tagged_images"), [&](const SqliteRow& row) {
                if (!tagRows.next(0)) {
                    return;
                }
                const std::size_t item = index.find(row.integer(1));
                if (item != ItemsById::none && tags.contains(row.integer(0))) {
                    tagged[row.integer(0)].push_back(item);
                }
            });
            for (auto tag = tagged.begin(); tag != tagged.end(); ++tag) {
                CatalogueGroupTree::Node* node = &tagTree.root();
                for (const QStringView part :
                     QStringView(tags.value(tag.key())).split(u'|', Qt::SkipEmptyParts)) {
                    node = &node->child(part.toString());
                }
                if (node == &tagTree.root()) {
                    continue;
                }
                std::vector<std::size_t>& members = tag.value();
                std::sort(members.begin(), members.end());
                members.erase(std::unique(members.begin(), members.end()), members.end());
                for (const std::size_t item : members) {
                    node->items.push_back(contents.items[item]);
                }
            }
            if (tagRows.cancelled()) {
                return false;
            }
        }

        if (!rolls.groups.empty()) {
            contents.groups.push_back(std::move(rolls));
        }
        if (std::vector<CatalogueGroup> tagGroups = tagTree.takeGroups(CatalogueGroup::Kind::Tag);
            !tagGroups.empty()) {
            contents.groups.push_back({QStringLiteral("Tags"),
                                       CatalogueGroup::Kind::Folder,
                                       {},
                                       std::move(tagGroups),
                                       QStringLiteral("tags")});
        }
        CatalogueGroup colours{
            QStringLiteral("Colour Labels"), CatalogueGroup::Kind::Folder, {}, {}, QStringLiteral("colours")};
        for (int colour = 0; colour < colourLabelCount; ++colour) {
            if (!byColour[static_cast<std::size_t>(colour)].empty()) {
                colours.groups.push_back({QLatin1String(colourNames[colour]),
                                          CatalogueGroup::Kind::SmartPlaylist,
                                          std::move(byColour[static_cast<std::size_t>(colour)]),
                                          {},
                                          QStringLiteral("colour-%1").arg(colour)});
            }
        }
        if (!colours.groups.empty()) {
            contents.groups.push_back(std::move(colours));
        }
        CatalogueGroup ratings{
            QStringLiteral("Ratings"), CatalogueGroup::Kind::Folder, {}, {}, QStringLiteral("ratings")};
        for (int stars = 5; stars >= 1; --stars) {
            if (!byRating[static_cast<std::size_t>(stars)].empty()) {
                ratings.groups.push_back({QString(stars, QChar(0x2605)),
                                          CatalogueGroup::Kind::SmartPlaylist,
                                          std::move(byRating[static_cast<std::size_t>(stars)]),
                                          {},
                                          QStringLiteral("rating-%1").arg(stars)});
            }
        }
        if (!ratings.groups.empty()) {
            contents.groups.push_back(std::move(ratings));
        }
        return true;
    });
    if (!ok) {
        return CatalogueContents::failure();
    }
    return contents;
}

} // namespace DarktableReader
