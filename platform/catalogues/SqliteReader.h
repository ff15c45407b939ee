#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class LoadProgress;
struct sqlite3;
struct sqlite3_stmt;

// One row of a query, valid while the row handler runs. Columns are counted
// from 0; a column the query does not have reads as null.
class SqliteRow {
public:
    explicit SqliteRow(sqlite3_stmt* statement);

    bool isNull(int column) const;
    // A number, from a number or from text that starts with one; 0 otherwise.
    qint64 integer(int column) const;
    double real(int column) const;
    // Text, from text or a number; a null string for a null value. Bytes that
    // are not UTF-8 are replaced.
    QString text(int column) const;
    // A file path stored as text or bytes, kept lossless (see Path).
    QString path(int column) const;
    // The column's bytes as stored (text as UTF-8), valid until the handler
    // returns: for values parsed in place rather than kept.
    QByteArrayView bytes(int column) const;

private:
    sqlite3_stmt* _statement;
    int _columns;
};

// Reads an SQLite database that another program owns, strictly read-only:
// no journal, "-wal" or "-shm" file is ever created beside it and nothing in
// it changes, and no lock is held that would make its owner wait.
//
// How, by the database's journal mode (SQLite's rules for read-only access):
// - WAL mode with its "-wal" and "-shm" files present (the owner has it open):
//   opened with mode=ro. Readers and a WAL writer never wait for each other,
//   and one read transaction sees one commit, including what is still in the
//   "-wal" file. Both files exist already, so nothing is created.
// - WAL mode without them (nobody has it open), or a rollback-journal
//   database: opened immutable, without locks and without looking for the WAL
//   files, because a read-only connection would otherwise create "-wal" and
//   "-shm" files and leave them behind. A rollback writer changes the file in
//   place, so the read is checked: no hot journal and the same change counter
//   before and after, or it is done again (a few times, then given up).
//
// A load that is given up stops every query within microseconds (the
// progress callback asks the load every thousand steps of SQLite's machine,
// sorting included) and the read then answers false.
class SqliteReader {
public:
    // Runs readAll on the database at path, in one read transaction; answers
    // whether it read a consistent state to the end. readAll answers false
    // when a query failed; it may be called again after a writer interfered,
    // and must then start over. A cancelled progress ends the read as failed.
    static bool read(const QString& path, LoadProgress& progress,
                     const std::function<bool(SqliteReader& database)>& readAll);

    ~SqliteReader();
    SqliteReader(const SqliteReader&) = delete;
    SqliteReader& operator=(const SqliteReader&) = delete;

    // Whether a table (not a view) of this name exists.
    bool hasTable(const QString& table);
    // The largest row id of a table (0 when empty or absent): found in the
    // table's index at once, a bound on its rows for telling progress.
    qint64 largestRowId(const QString& table);
    // The columns of a table, in lower case; empty when there is no such table.
    QStringList columns(const QString& table);
    // Runs a query, handing each row to handler; false on any error (the
    // rows already handed out stay handed out). A query that would run for
    // more than about a thousand million steps is stopped.
    bool query(const QString& sql, const std::function<void(const SqliteRow& row)>& handler);

private:
    SqliteReader(sqlite3* database, const LoadProgress& progress);
    static std::unique_ptr<SqliteReader> open(const QString& path, bool immutable,
                                              const LoadProgress& progress);

    sqlite3* _database;
    const LoadProgress& _progress;
};
