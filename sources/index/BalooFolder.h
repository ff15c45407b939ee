#pragma once

#include "platform/index/BalooIndex.h"
#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// "All Pictures", "All Music" and "All Movies" on KDE desktops: what KDE's
// file index (Baloo) knows of each kind (see BalooReader). Followed through
// the index's file: the indexer committing a change reads the folder again.
class BalooFolder : public CatalogueFolder {
public:
    // Adds the three folders, one to each root, when the user's desktop keeps
    // this index and it is the desktop's own (see preferred()); nothing otherwise.
    static void addToRoots(const CatalogueRoots& roots);
    // Whether this index, rather than Tracker's, is the desktop's file index
    // when both are kept: on KDE desktops.
    static bool preferred();

    BalooFolder(const QString& name, const QString& indexFile, BalooIndex::Type type);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return {_indexFile}; }
    // Songs are grouped by album; pictures and videos are not grouped.
    bool loadExpandable() override { return _type == BalooIndex::Type::Audio; }

private:
    QString _indexFile;
    BalooIndex::Type _type;
};
