#pragma once

#include <QString>

struct sqlite3;

// Databases made in tests the way their applications make them: SQL run
// through the SQLite library itself.
namespace SqliteFixture {

// Runs the statements on the database at path (created when missing) and
// closes it; a failing statement fails the test.
void execute(const QString& path, const QString& sql);

// An open connection, as the owning application keeps one.
class Connection {
public:
    explicit Connection(const QString& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs the statements; answers the SQLite result code (SQLITE_OK = 0).
    int execute(const QString& sql);
    sqlite3* handle() const { return _database; }

private:
    sqlite3* _database = nullptr;
};

} // namespace SqliteFixture
