#include "sources/catalogues/CatalogueSql.h"

#include "platform/catalogues/SqliteReader.h"

namespace CatalogueSql {

QString column(const QStringList& columns, const QString& name) {
    return columns.contains(name.toLower()) ? name : QStringLiteral("NULL");
}

QString firstColumn(const QStringList& columns, const QStringList& names) {
    for (const QString& name : names) {
        if (columns.contains(name.toLower())) {
            return name;
        }
    }
    return QStringLiteral("NULL");
}

qint64 highestRowId(SqliteReader& database, const QString& table) {
    return number(database, QStringLiteral("SELECT max(ROWID) FROM %1").arg(quoted(table)));
}

qint64 number(SqliteReader& database, const QString& sql) {
    qint64 value = 0;
    database.query(sql, [&value](const SqliteRow& row) { value = row.integer(0); });
    return value;
}

QString quoted(const QString& name) {
    QString copy = name;
    return QLatin1Char('"') + copy.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace CatalogueSql
