#pragma once

#include <QString>
#include <QStringList>

class SqliteReader;

// Small questions the SQLite-backed readers ask of a database whose schema
// varies between its application's versions.
namespace CatalogueSql {

// The column when the table has it (columns as SqliteReader::columns gives
// them, in lower case), else NULL: a version that lacks it gives no data.
QString column(const QStringList& columns, const QString& name);
// The first of names the table has, else NULL.
QString firstColumn(const QStringList& columns, const QStringList& names);
// The highest row id of table, 0 when it is empty or missing: how far a pass
// over its rows in id order has got.
qint64 highestRowId(SqliteReader& database, const QString& table);
// A value of a one-row, one-column query ("PRAGMA user_version", a version
// table), 0 when it answers nothing.
qint64 number(SqliteReader& database, const QString& sql);
// A table name quoted for SQL.
QString quoted(const QString& name);

} // namespace CatalogueSql
