#include "platform/catalogues/SqliteReader.h"

#include "platform/system/LoadProgress.h"
#include "platform/system/Path.h"

#include <array>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// What a writer changes: the file itself, its header's change counter, and
// the files SQLite keeps beside it while it writes.
struct FileState {
    bool wal = false;
    bool walFiles = false;   // both "-wal" and "-shm" present
    bool hotJournal = false; // a rollback journal that a writer is using
    quint32 changeCounter = 0;
    off_t size = 0;
    timespec modified{};

    bool sameAs(const FileState& other) const {
        return wal == other.wal && walFiles == other.walFiles && hotJournal == other.hotJournal &&
               changeCounter == other.changeCounter && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

bool exists(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

// Reads the first bytes of a regular file without blocking (a FIFO in its
// place would otherwise wait for a writer).
std::optional<QByteArray> readHead(const QByteArray& path, int length, struct stat* info) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat own {};
    struct stat* status = info != nullptr ? info : &own;
    if (::fstat(fd, status) != 0 || !S_ISREG(status->st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes(length, '\0');
    const ssize_t n = ::pread(fd, bytes.data(), static_cast<std::size_t>(length), 0);
    ::close(fd);
    if (n < 0) {
        return std::nullopt;
    }
    bytes.truncate(n);
    return bytes;
}

// The state of a database file, or none when it is no SQLite database.
std::optional<FileState> stateOf(const QByteArray& path) {
    struct stat info {};
    const auto head = readHead(path, 100, &info);
    if (!head || head->size() < 100 || std::memcmp(head->constData(), "SQLite format 3", 16) != 0) {
        return std::nullopt;
    }
    FileState state;
    const auto* bytes = reinterpret_cast<const unsigned char*>(head->constData());
    state.wal = bytes[18] == 2 || bytes[19] == 2;
    state.walFiles = exists(path + "-wal") && exists(path + "-shm");
    state.changeCounter = (quint32(bytes[24]) << 24) | (quint32(bytes[25]) << 16) |
                          (quint32(bytes[26]) << 8) | quint32(bytes[27]);
    state.size = info.st_size;
    state.modified = info.st_mtim;
    // A journal whose header is not zero belongs to a transaction under way
    // (or to one that crashed and that the owner will roll back).
    if (const auto journal = readHead(path + "-journal", 8, nullptr)) {
        state.hotJournal = journal->count('\0') != journal->size();
    }
    return state;
}

// A file: URI for the path's exact bytes.
QByteArray uriFor(const QByteArray& path, bool immutable) {
    QByteArray uri = "file:" + path.toPercentEncoding("/");
    uri += immutable ? "?mode=ro&immutable=1" : "?mode=ro";
    return uri;
}

QString quoted(const QString& text) {
    QString copy = text;
    return QLatin1Char('\'') + copy.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// Progress callbacks (every 1,000 virtual machine steps) before a query is stopped.
constexpr int maxProgressCalls = 1000000;

// What the progress callback of a running query looks at: a few
// microseconds apart, so that a cancelled load stops a query (a sort of a
// million rows included) at once.
struct QueryWatch {
    int calls = 0;
    const LoadProgress* progress = nullptr;
};

int onProgress(void* context) {
    auto* watch = static_cast<QueryWatch*>(context);
    return ++watch->calls > maxProgressCalls || watch->progress->isCancelled() ? 1 : 0;
}

// Waits before another attempt, in short steps that a cancelled load cuts short.
void pause(std::chrono::milliseconds duration, const LoadProgress& progress) {
    constexpr std::chrono::milliseconds step(5);
    for (std::chrono::milliseconds waited(0); waited < duration && !progress.isCancelled(); waited += step) {
        std::this_thread::sleep_for(step);
    }
}

} // namespace

SqliteRow::SqliteRow(sqlite3_stmt* statement)
    : _statement(statement)
    , _columns(sqlite3_column_count(statement)) {
}

bool SqliteRow::isNull(int column) const {
    return column < 0 || column >= _columns || sqlite3_column_type(_statement, column) == SQLITE_NULL;
}

qint64 SqliteRow::integer(int column) const {
    return isNull(column) ? 0 : sqlite3_column_int64(_statement, column);
}

double SqliteRow::real(int column) const {
    return isNull(column) ? 0.0 : sqlite3_column_double(_statement, column);
}

QString SqliteRow::text(int column) const {
    if (isNull(column)) {
        return {};
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(_statement, column));
    const int length = sqlite3_column_bytes(_statement, column);
    if (bytes == nullptr) {
        return QLatin1String("");
    }
    return QString::fromUtf8(bytes, length);
}

QString SqliteRow::path(int column) const {
    if (isNull(column)) {
        return {};
    }
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(_statement, column));
    const int length = sqlite3_column_bytes(_statement, column);
    if (bytes == nullptr) {
        return QLatin1String("");
    }
    return Path::fromNative(bytes, length);
}

QByteArrayView SqliteRow::bytes(int column) const {
    if (isNull(column)) {
        return {};
    }
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(_statement, column));
    return bytes == nullptr ? QByteArrayView()
                            : QByteArrayView(bytes, sqlite3_column_bytes(_statement, column));
}

SqliteReader::SqliteReader(sqlite3* database, const LoadProgress& progress)
    : _database(database)
    , _progress(progress) {
}

SqliteReader::~SqliteReader() {
    sqlite3_close_v2(_database);
}

std::unique_ptr<SqliteReader> SqliteReader::open(const QString& path, bool immutable,
                                                 const LoadProgress& progress) {
    static const bool initialised = [] {
        sqlite3_initialize();
        return true;
    }();
    (void)initialised;
    sqlite3* database = nullptr;
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
    if (sqlite3_open_v2(uriFor(Path::toNative(path), immutable).constData(), &database, flags, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(database);
        return nullptr;
    }
    // A read-only connection that closes last must not try to checkpoint; the
    // file's own schema may not run code (triggers, views, functions).
    sqlite3_db_config(database, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_db_config(database, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(database, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(database, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(database, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_limit(database, SQLITE_LIMIT_LENGTH, 64 * 1024 * 1024);
    // A WAL reader may meet the owner's recovery for a moment: this reader
    // waits, the owner never does.
    sqlite3_busy_timeout(database, 250);
    return std::unique_ptr<SqliteReader>(new SqliteReader(database, progress));
}

bool SqliteReader::read(const QString& path, LoadProgress& progress,
                        const std::function<bool(SqliteReader& database)>& readAll) {
    const QByteArray native = Path::toNative(path);
    constexpr int attempts = 5;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) {
            pause(std::chrono::milliseconds(20 * attempt), progress);
        }
        if (progress.isCancelled()) {
            return false;
        }
        const std::optional<FileState> before = stateOf(native);
        if (!before) {
            return false; // not a regular file holding an SQLite database
        }
        if (before->hotJournal) {
            continue; // a rollback writer is changing the file in place
        }
        const bool immutable = !(before->wal && before->walFiles);
        std::unique_ptr<SqliteReader> database = open(path, immutable, progress);
        if (!database) {
            return false;
        }
        if (!immutable && !database->query(QStringLiteral("BEGIN"), {})) {
            continue;
        }
        const bool ok = readAll(*database) && !progress.isCancelled();
        database.reset();
        if (!immutable || progress.isCancelled()) {
            return ok; // one read transaction: consistent by SQLite's own locking
        }
        const std::optional<FileState> after = stateOf(native);
        if (after && after->sameAs(*before)) {
            return ok;
        }
        // Written meanwhile (or the owner opened it in WAL mode): read again.
    }
    return false;
}

bool SqliteReader::hasTable(const QString& table) {
    bool found = false;
    query(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = %1").arg(quoted(table)),
          [&found](const SqliteRow&) { found = true; });
    return found;
}

qint64 SqliteReader::largestRowId(const QString& table) {
    qint64 largest = 0;
    if (hasTable(table)) {
        query(QStringLiteral("SELECT max(rowid) FROM \"%1\"")
                  .arg(QString(table).replace(QLatin1Char('"'), QLatin1String("\"\""))),
              [&largest](const SqliteRow& row) { largest = row.integer(0); });
    }
    return std::max<qint64>(largest, 0);
}

QStringList SqliteReader::columns(const QString& table) {
    QStringList names;
    if (!hasTable(table)) {
        return names;
    }
    query(QStringLiteral("SELECT name FROM pragma_table_info(%1)").arg(quoted(table)),
          [&names](const SqliteRow& row) { names.append(row.text(0).toLower()); });
    return names;
}

bool SqliteReader::query(const QString& sql, const std::function<void(const SqliteRow& row)>& handler) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(_database, text.constData(), static_cast<int>(text.size()), &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    QueryWatch watch;
    watch.progress = &_progress;
    sqlite3_progress_handler(_database, 1000, &onProgress, &watch);
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        if (handler) {
            handler(SqliteRow(statement));
        }
    }
    sqlite3_progress_handler(_database, 0, nullptr, nullptr);
    sqlite3_finalize(statement);
    return result == SQLITE_DONE;
}
