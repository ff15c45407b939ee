#include "sources/catalogues/DigikamFolder.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"
#include "sources/catalogues/CatalogueGroupTree.h"
#include "sources/catalogues/CatalogueUrl.h"

#include <QFile>
#include <QHash>
#include <QUrl>

#include <climits>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

// digiKam's image status and category codes.
constexpr qint64 statusVisible = 1;
constexpr qint64 categoryImage = 1;
constexpr qint64 categoryVideo = 2;

const QLatin1String internalTags("_Digikam_Internal_Tags_");

QString column(const QStringList& columns, const QString& name, const QString& absent) {
    return columns.contains(name) ? name : absent;
}

// A value of a setting in a KDE configuration file: key=value under [group].
QString settingValue(const QByteArray& file, const QByteArray& group, const QByteArray& key) {
    bool inGroup = false;
    for (const QByteArray& rawLine : file.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[" + group + "]";
        } else if (inGroup && line.startsWith(key + '=')) {
            return Path::fromNative(line.mid(key.size() + 1).trimmed());
        }
    }
    return {};
}

// The mount point of the volume with this file system UUID, or a null string.
QString mountPointOf(const QString& uuid) {
    if (uuid.isEmpty() || uuid.contains(QLatin1Char('/'))) {
        return {};
    }
    char device[PATH_MAX];
    const QByteArray link = "/dev/disk/by-uuid/" + Path::toNative(uuid);
    if (::realpath(link.constData(), device) == nullptr) {
        return {};
    }
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QByteArray& line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 2 && fields[0] == device) {
            // Spaces and the like are written as octal escapes ("\040").
            QByteArray mountPoint = fields[1];
            mountPoint.replace("\\040", " ")
                .replace("\\011", "\t")
                .replace("\\012", "\n")
                .replace("\\134", "\\");
            return Path::fromNative(mountPoint);
        }
    }
    return {};
}

QString joined(const QString& base, const QString& relative) {
    if (relative.isEmpty() || relative == QLatin1String("/")) {
        return base;
    }
    QString path = base;
    while (path.endsWith(QLatin1Char('/')) && path.size() > 1) {
        path.chop(1);
    }
    return relative.startsWith(QLatin1Char('/')) ? path + relative : path + QLatin1Char('/') + relative;
}

using Node = CatalogueGroupTree::Node;

struct AlbumRoot {
    QString path; // null: not available
    QString label;
};

} // namespace

void DigikamFolder::addToRoots(const CatalogueRoots& roots) {
    const QString database = databasePath();
    if (database.isNull()) {
        return;
    }
    if (roots.photos != nullptr) {
        roots.photos->addFolder(
            std::make_shared<DigikamFolder>(QStringLiteral("digiKam"), database, Media::Pictures));
    }
    if (roots.movies != nullptr) {
        roots.movies->addFolder(
            std::make_shared<DigikamFolder>(QStringLiteral("digiKam"), database, Media::Movies));
    }
}

QString DigikamFolder::databasePath() {
    QString directory;
    QFile settings(UserDirectories::configHome() + QStringLiteral("/digikamrc"));
    if (FileSystem::isRegularFile(settings.fileName()) && settings.open(QIODevice::ReadOnly)) {
        const QByteArray text = settings.read(1024 * 1024);
        const QString type = settingValue(text, "Database Settings", "Database Type");
        if (!type.isEmpty() && type != QLatin1String("QSQLITE")) {
            return {}; // kept in a database server: not a file to read
        }
        directory = settingValue(text, "Database Settings", "Database Name");
        if (directory.isEmpty()) {
            directory = settingValue(text, "Album Settings", "Database File Path");
        }
    }
    if (directory.isEmpty()) {
        directory = Path::homeDirectory() + QStringLiteral("/Pictures");
    }
    const QString path = joined(Path::expandTilde(directory), QStringLiteral("digikam4.db"));
    return FileSystem::isRegularFile(path) ? path : QString();
}

QString DigikamFolder::albumRootPath(const QString& identifier, const QString& specificPath) {
    const QUrl url(identifier);
    if (url.scheme() != QLatin1String("volumeid")) {
        return {};
    }
    QString base;
    for (const QString& item : url.query(QUrl::FullyEncoded).split(QLatin1Char('&'))) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        const QString key = item.left(equals);
        const QString value = Path::fromNative(
            QByteArray::fromPercentEncoding(item.mid(equals + 1).toLatin1().replace('+', ' ')));
        if (key == QLatin1String("path")) {
            base = value;
        } else if (key == QLatin1String("uuid")) {
            base = mountPointOf(value);
            if (base.isNull()) {
                return {}; // the volume is not mounted
            }
        }
    }
    if (!base.startsWith(QLatin1Char('/'))) {
        return {};
    }
    return joined(base, specificPath);
}

DigikamFolder::DigikamFolder(const QString& name, const QString& database, Media media)
    : CatalogueFolder(name, Library::Pictures)
    , _database(database)
    , _media(media) {
}

CatalogueReader DigikamFolder::catalogueReader() const {
    return [database = _database, media = _media](LoadProgress&) {
        return read(database, media);
    };
}

CatalogueContents DigikamFolder::read(const QString& database, Media media) {
    const bool movies = media == Media::Movies;
    CatalogueContents contents;
    const bool ok = SqliteReader::read(database, [&](SqliteReader& db) {
        contents = {};
        const QStringList rootColumns = db.columns(QStringLiteral("AlbumRoots"));
        const QStringList albumColumns = db.columns(QStringLiteral("Albums"));
        const QStringList imageColumns = db.columns(QStringLiteral("Images"));
        if (!rootColumns.contains(QLatin1String("identifier")) ||
            !albumColumns.contains(QLatin1String("relativepath")) ||
            !imageColumns.contains(QLatin1String("name"))) {
            return true;
        }
        QHash<qint64, AlbumRoot> roots;
        db.query(QStringLiteral("SELECT id, identifier, %1, %2 FROM AlbumRoots ORDER BY id")
                     .arg(column(rootColumns, QStringLiteral("specificpath"), QStringLiteral("NULL")),
                          column(rootColumns, QStringLiteral("label"), QStringLiteral("NULL"))),
                 [&roots](const SqliteRow& row) {
                     AlbumRoot root;
                     root.path = albumRootPath(row.text(1), row.path(2));
                     root.label = row.text(3);
                     if (root.label.isEmpty()) {
                         root.label = Path::lastComponent(root.path);
                     }
                     roots.insert(row.integer(0), root);
                 });
        int availableRoots = 0;
        for (const AlbumRoot& root : std::as_const(roots)) {
            availableRoots += root.path.isNull() ? 0 : 1;
        }

        CatalogueGroupTree albumTree;
        Node& albums = albumTree.root();
        QHash<qint64, MediaItemPtr> byId;
        const QString wanted = QString::number(movies ? categoryVideo : categoryImage);
        const QString sql =
            QStringLiteral("SELECT Images.id, Albums.albumRoot, Albums.relativePath, Images.name FROM Images "
                           "JOIN Albums ON Images.album = Albums.id WHERE %1 = %2 AND %3 = %4 "
                           "ORDER BY Albums.albumRoot, Albums.relativePath, Images.name")
                .arg(column(imageColumns, QStringLiteral("status"), QString::number(statusVisible)))
                .arg(statusVisible)
                .arg(column(imageColumns, QStringLiteral("category"), QString::number(categoryImage)),
                     wanted);
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            const auto root = roots.constFind(row.integer(1));
            if (root == roots.constEnd() || root->path.isNull()) {
                return; // on a volume that is not mounted
            }
            const QString relative = row.path(2);
            const QString name = row.path(3);
            if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
                return;
            }
            const QString path = joined(joined(root->path, relative), name);
            MediaItemPtr item;
            if (movies) {
                item = std::make_shared<QVMovie>(CatalogueUrl::fromPath(path));
            } else {
                item = std::make_shared<Photo>(Path::deletingExtension(name), QString(), path, path);
            }
            byId.insert(row.integer(0), item);
            contents.items.push_back(item);
            // The album's folder, nested as its path; one group per root when there are several.
            Node* node = availableRoots > 1 ? &albums.child(root->label) : &albums;
            for (const QStringView part : QStringView(relative).split(u'/', Qt::SkipEmptyParts)) {
                node = &node->child(part.toString());
            }
            if (node != &albums) {
                node->items.push_back(std::move(item));
            }
        });
        if (!listed) {
            return false;
        }
        contents.groups = albumTree.takeGroups(CatalogueGroup::Kind::Folder);

        // The tag tree, without digiKam's internal tags.
        const QStringList tagColumns = db.columns(QStringLiteral("Tags"));
        if (!tagColumns.contains(QLatin1String("pid")) || db.columns(QStringLiteral("ImageTags")).isEmpty()) {
            return true;
        }
        struct Tag {
            qint64 parent;
            QString name;
        };
        QHash<qint64, Tag> tags;
        db.query(QStringLiteral("SELECT id, pid, name FROM Tags"), [&tags](const SqliteRow& row) {
            tags.insert(row.integer(0), {row.integer(1), row.text(2)});
        });
        CatalogueGroupTree tagTree;
        Node& tagRoot = tagTree.root();
        QHash<qint64, Node*> tagNodes;
        // The node of a tag, made with its ancestors; none for internal or looping tags.
        std::function<Node*(qint64, int)> nodeOf = [&](qint64 id, int depth) -> Node* {
            if (id == 0) {
                return &tagRoot;
            }
            if (const auto found = tagNodes.constFind(id); found != tagNodes.constEnd()) {
                return *found;
            }
            const auto tag = tags.constFind(id);
            if (tag == tags.constEnd() || depth > 100 || tag->name == internalTags) {
                return nullptr;
            }
            Node* parent = nodeOf(tag->parent, depth + 1);
            Node* node = parent != nullptr ? &parent->child(tag->name) : nullptr;
            tagNodes.insert(id, node);
            return node;
        };
        db.query(QStringLiteral("SELECT imageid, tagid FROM ImageTags ORDER BY imageid"),
                 [&](const SqliteRow& row) {
                     const MediaItemPtr item = byId.value(row.integer(0));
                     Node* node = item ? nodeOf(row.integer(1), 0) : nullptr;
                     if (node != nullptr && node != &tagRoot) {
                         node->items.push_back(item);
                     }
                 });
        std::vector<CatalogueGroup> tagGroups = tagTree.takeGroups(CatalogueGroup::Kind::Tag);
        if (!tagGroups.empty()) {
            contents.groups.push_back(
                {QStringLiteral("Tags"), CatalogueGroup::Kind::Tag, {}, std::move(tagGroups), {}});
        }
        return true;
    });
    if (!ok) {
        return CatalogueContents::failure();
    }
    return contents;
}
