#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"
#include "sources/index/TrackerReader.h"

#include <QString>

// "All Pictures", "All Music" and "All Movies": what the desktop's file index
// (Tracker 3) knows of each kind, read from the index instead of scanning
// (see TrackerReader). Followed through the index's own database: the index
// writing it (a file added, changed or removed) reads the folder again.
class TrackerFolder : public CatalogueFolder {
public:
    // Adds the three folders, one to each root, when the user's desktop keeps
    // a file index and a session bus is there to ask it; nothing otherwise.
    static void addToRoots(const CatalogueRoots& roots);
    // The index's database, or a null string when the desktop keeps none.
    static QString indexDatabase();

    TrackerFolder(const QString& name, const QString& service, const QString& database,
                  TrackerReader::Media media);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }
    // The index's items are not grouped.
    bool loadExpandable() override { return false; }

private:
    QString _service;
    QString _database;
    TrackerReader::Media _media;
};
