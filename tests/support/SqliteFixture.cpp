#include "support/SqliteFixture.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace SqliteFixture {

void execute(const QString& path, const QString& sql) {
    Connection connection(path);
    // No waiting for the disk: fixtures need not survive a power cut.
    connection.execute(QStringLiteral("PRAGMA synchronous=OFF"));
    EXPECT_EQ(connection.execute(sql), SQLITE_OK) << sqlite3_errmsg(connection.handle());
}

Connection::Connection(const QString& path) {
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &_database), SQLITE_OK);
}

Connection::~Connection() {
    sqlite3_close(_database);
}

int Connection::execute(const QString& sql) {
    return sqlite3_exec(_database, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
}

} // namespace SqliteFixture
