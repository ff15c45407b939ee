#include "platform/catalogues/SqliteReader.h"
#include "platform/system/LoadProgress.h"
#include "support/SqliteFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

namespace {

// The names in a directory.
QStringList namesIn(const QString& directory) {
    return QDir(directory).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                     QDir::Name);
}

// Names, sizes and modification times: what a read-only reader may not change.
QStringList listingOf(const QString& directory) {
    QStringList listing;
    for (const QFileInfo& info :
         QDir(directory).entryInfoList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        listing << QStringLiteral("%1 %2 %3")
                       .arg(info.fileName())
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    return listing;
}

struct Counts {
    qint64 first = -1;
    qint64 second = -1;
};

// Reads the row counts of the two tables that each of the owner's
// transactions adds one row to: equal in any consistent state. Every row is
// read, and a pause between the tables stands for a reader's work between
// queries, so that commits fall inside reads.
std::optional<Counts> readCounts(const QString& path, std::chrono::microseconds pause = {}) {
    Counts counts;
    LoadProgress unobserved;
    const bool ok = SqliteReader::read(path, unobserved, [&counts, pause](SqliteReader& database) {
        counts = {};
        const bool first = database.query(QStringLiteral("SELECT count(*), sum(length(text)) FROM first"),
                                          [&counts](const SqliteRow& row) { counts.first = row.integer(0); });
        std::this_thread::sleep_for(pause);
        return first && database.query(QStringLiteral("SELECT count(*), sum(length(text)) FROM second"),
                                       [&counts](const SqliteRow& row) { counts.second = row.integer(0); });
    });
    return ok ? std::optional<Counts>(counts) : std::nullopt;
}

const char kTables[] = "CREATE TABLE first (id INTEGER PRIMARY KEY, text TEXT);"
                       "CREATE TABLE second (id INTEGER PRIMARY KEY, text TEXT);"
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)"
                       " INSERT INTO first (text) SELECT hex(randomblob(300)) FROM n;"
                       "INSERT INTO second (text) SELECT text FROM first;";

// The owner writing in a loop, one row to each table per transaction, never
// waiting for a lock: a busy answer is counted as the reader's fault.
class Owner {
public:
    Owner(const QString& path, bool wal)
        : _connection(path) {
        if (wal) {
            _connection.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        }
        sqlite3_busy_timeout(_connection.handle(), 0);
        // Commits as fast as the machine allows, so that they overlap the reads.
        _connection.execute(QStringLiteral("PRAGMA synchronous=OFF"));
    }
    void start(int pauseMicroseconds) {
        _thread = std::thread([this, pauseMicroseconds] {
            const QString transaction =
                QStringLiteral("BEGIN; INSERT INTO first (text) VALUES (hex(randomblob(300)));"
                               "INSERT INTO second (text) VALUES (hex(randomblob(300))); COMMIT;");
            while (!_stop) {
                if (_connection.execute(transaction) == SQLITE_OK) {
                    ++_commits;
                } else {
                    ++_busy;
                    _connection.execute(QStringLiteral("ROLLBACK"));
                }
                std::this_thread::sleep_for(std::chrono::microseconds(pauseMicroseconds));
            }
        });
    }
    void stop() {
        _stop = true;
        if (_thread.joinable()) {
            _thread.join();
        }
    }
    ~Owner() { stop(); }
    int commits() const { return _commits; }
    int busy() const { return _busy; }

private:
    SqliteFixture::Connection _connection;
    std::thread _thread;
    std::atomic<bool> _stop = false;
    std::atomic<int> _commits = 0;
    std::atomic<int> _busy = 0;
};

TEST(SqliteReader, LeavesAClosedWalDatabaseAndItsDirectoryAsTheyWere) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.db"));
    SqliteFixture::execute(path, QStringLiteral("PRAGMA journal_mode=WAL;") + QLatin1String(kTables));
    ASSERT_EQ(namesIn(dir.path()), QStringList{QStringLiteral("photo.db")});
    const QStringList before = listingOf(dir.path());

    const auto counts = readCounts(path);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->first, 300);
    EXPECT_EQ(counts->second, 300);
    // A read-only connection by SQLite's defaults would have left "-wal" and "-shm" here.
    EXPECT_EQ(listingOf(dir.path()), before);
}

TEST(SqliteReader, ReadsOneCommitWhileTheOwnerWritesInWalModeAndNeverMakesItWait) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.db"));
    SqliteFixture::execute(path, QStringLiteral("PRAGMA journal_mode=WAL;") + QLatin1String(kTables));
    Owner owner(path, true);
    owner.start(200);
    while (owner.commits() < 5) {
        std::this_thread::yield();
    }
    const QStringList names = namesIn(dir.path());
    ASSERT_TRUE(names.contains(QStringLiteral("photo.db-wal")));

    qint64 last = 300;
    for (int i = 0; i < 30; ++i) {
        const auto counts = readCounts(path, std::chrono::microseconds(1000));
        ASSERT_TRUE(counts) << "read " << i;
        EXPECT_EQ(counts->first, counts->second) << "read " << i;
        EXPECT_GE(counts->first, last);
        last = counts->first;
    }
    owner.stop();
    EXPECT_GT(last, 305); // the reads saw the owner's commits, including those still in the WAL
    EXPECT_EQ(owner.busy(), 0);
    EXPECT_EQ(namesIn(dir.path()), names);
}

TEST(SqliteReader, ReadsOneCommitWhileTheOwnerWritesWithARollbackJournal) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.db"));
    SqliteFixture::execute(path, QLatin1String(kTables));
    const QStringList names = namesIn(dir.path());
    {
        Owner owner(path, false);
        owner.start(20000);
        int consistent = 0;
        int reads = 0;
        for (; reads < 400 && (reads < 30 || owner.commits() < 20); ++reads) {
            if (const auto counts = readCounts(path, std::chrono::microseconds(5000))) {
                EXPECT_EQ(counts->first, counts->second) << "read " << reads;
                ++consistent;
            }
        }
        owner.stop();
        EXPECT_GT(consistent, reads / 2);
        EXPECT_GE(owner.commits(), 20);
        EXPECT_EQ(owner.busy(), 0); // readers take no lock the owner could wait for
    }
    EXPECT_EQ(namesIn(dir.path()), names);
}

TEST(SqliteReader, RefusesWhatIsNoDatabaseAtOnce) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.db"));
    SqliteFixture::execute(good, QLatin1String(kTables));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    auto write = [&dir](const char* name, const QByteArray& contents) {
        QFile out(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(contents);
        return out.fileName();
    };
    const QString truncated = write("truncated.db", bytes.left(bytes.size() / 3));
    const QString garbage = write("garbage.db", QByteArray(70000, '\x5a'));
    const QString empty = write("empty.db", {});
    const QString fifo = dir.filePath(QStringLiteral("fifo.db"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QStringList before = listingOf(dir.path());

    for (const QString& path :
         {truncated, garbage, empty, fifo, dir.path(), dir.filePath(QStringLiteral("none.db"))}) {
        EXPECT_FALSE(readCounts(path)) << path.toStdString();
    }
    EXPECT_EQ(listingOf(dir.path()), before);
}

} // namespace
