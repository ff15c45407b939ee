#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

#include <functional>

class LoadProgress;
class SqliteReader;

// Catalogues that their applications keep in SQLite databases.
namespace CatalogueDatabase {

// Reads the catalogue in the database at path: readAll fills contents from
// the database, answering false when a query failed (it starts again from
// empty contents when the application wrote meanwhile; see SqliteReader).
// A read that does not come to a consistent end gives a failure; one whose
// load was given up lets go of what it read on the releasing thread.
CatalogueContents
read(const QString& path, LoadProgress& progress,
     const std::function<bool(SqliteReader& database, CatalogueContents& contents)>& readAll);

} // namespace CatalogueDatabase
