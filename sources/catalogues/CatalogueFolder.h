#pragma once

#include "model/SourceFolder.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

// Reads a catalogue with copies of everything it needs: safe on any thread.
using CatalogueReader = std::function<CatalogueContents(LoadProgress& progress)>;

// A folder showing a catalogue that another application keeps (a photo or
// music library database), on the life cycle of every source: the subclass's
// catalogueReader() gives the items and groups, which become this folder's
// items and one sub-folder per group (known across reads by the group's own
// id), read on a loader thread and published in one step. Expandable before
// loading, without reading anything. It follows the catalogue's files
// (catalogueFiles()) and reads it again when one is replaced or written.
class CatalogueFolder : public SourceFolder {
public:
    // The catalogue's contents, read now.
    CatalogueContents readCatalogue() const {
        LoadProgress unobserved;
        return catalogueReader()(unobserved);
    }

protected:
    // Hook: the reading step, holding copies of what it needs.
    virtual CatalogueReader catalogueReader() const = 0;
    // Hook: the files the catalogue is read from, the catalogue itself first.
    // The folder follows them and reads the catalogue again when one is
    // replaced or written. None (the default): not followed.
    virtual QStringList catalogueFiles() const { return {}; }
    // The files of an SQLite database: written in place, in WAL mode into
    // its "-wal" file until a checkpoint.
    static QStringList databaseFiles(const QString& database) {
        return {database, database + QStringLiteral("-wal")};
    }

    // Which library icon the folder shows.
    enum class Library { Pictures, Music };

    // A folder with the library icon; registers the group icons on first use.
    CatalogueFolder(const QString& name, Library library);

    // A read again that could not read the catalogue to its end keeps what
    // the folder shows; one that reads what the last one did is recognised on
    // the loader thread and dropped there: applications save their catalogues
    // for changes not shown here (play counts, ratings).
    MediaFolderReader reader() const override;
    SourceWatch::Targets watchTargets() const override { return {{}, catalogueFiles()}; }
    bool loadExpandable() override { return true; }

private:
    // The icons of the kinds of group, copied into the reading step.
    struct GroupIcons {
        QImage album;
        QImage folder;
        QImage event;
        QImage tag;
        QImage playlist;
        QImage smartPlaylist;
        QImage roll;
    };
    // A loaded folder for group and its sub-groups; posts nothing.
    static MediaFolderPtr folderFor(CatalogueGroup&& group, const GroupIcons& icons);

    GroupIcons _icons;
    // The digest of the catalogue last read again (0: none yet), shared with
    // the reading steps.
    std::shared_ptr<std::atomic<std::size_t>> _lastDigest = std::make_shared<std::atomic<std::size_t>>(0);
};
