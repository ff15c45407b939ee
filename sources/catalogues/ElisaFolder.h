#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The user's Elisa music library in the music tree (see ElisaReader).
class ElisaFolder : public CatalogueFolder {
public:
    // Adds "Elisa" to the music root when the user has Elisa's database.
    static void addToRoots(const CatalogueRoots& roots);
    static QString databasePath(); // a null string when there is none

    ElisaFolder(const QString& name, const QString& database);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_database); }

private:
    QString _database;
};
