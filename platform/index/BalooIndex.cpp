#include "platform/index/BalooIndex.h"

#include "platform/system/FileSystem.h"
#include "platform/system/MappedReadGuard.h"
#include "platform/system/Path.h"
#include "platform/system/SharedLibrary.h"
#include "platform/system/UserDirectories.h"

#include <QFileInfo>
#include <QHash>
#include <QtEndian>

#include <cstring>
#include <lmdb.h>

namespace BalooIndex {

namespace {

#define QVMB_LMDB_FUNCTIONS(X)                                                                               \
    X(mdb_env_create)                                                                                        \
    X(mdb_env_set_maxdbs)                                                                                    \
    X(mdb_env_open)                                                                                          \
    X(mdb_env_info)                                                                                          \
    X(mdb_env_stat)                                                                                          \
    X(mdb_env_close)                                                                                         \
    X(mdb_txn_begin)                                                                                         \
    X(mdb_txn_id)                                                                                            \
    X(mdb_txn_abort)                                                                                         \
    X(mdb_dbi_open)                                                                                          \
    X(mdb_get)

struct LmdbApi {
#define QVMB_LMDB_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_LMDB_FUNCTIONS(QVMB_LMDB_POINTER)
#undef QVMB_LMDB_POINTER
};

std::optional<LmdbApi> resolve() {
    static const SharedLibrary library({"liblmdb.so.0"});
    LmdbApi api;
    bool complete = true;
#define QVMB_LMDB_RESOLVE(name)                                                                              \
    {                                                                                                        \
        void* address = library.symbol(#name);                                                               \
        api.name = reinterpret_cast<decltype(api.name)>(address);                                            \
        complete = complete && address != nullptr;                                                           \
    }
    QVMB_LMDB_FUNCTIONS(QVMB_LMDB_RESOLVE)
#undef QVMB_LMDB_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    return api;
}

const LmdbApi* load() {
    static const std::optional<LmdbApi> api = resolve();
    return api ? &*api : nullptr;
}

// Baloo's own limit on a folder's depth, for indexes spoilt into a loop.
constexpr int maximumDepth = 512;
// How often a read overtaken by the indexer is made again.
constexpr int attempts = 3;

enum class Outcome { Read, Failed, Overtaken };

// One read-only transaction over the index's environment.
class Snapshot {
public:
    Snapshot(const LmdbApi& api, MDB_txn* txn, MDB_dbi postings, MDB_dbi names)
        : _api(api)
        , _txn(txn)
        , _postings(postings)
        , _names(names) {}

    // The ids of the documents holding term; none when the list is spoilt.
    std::optional<std::vector<quint64>> documents(const QByteArray& term) const {
        MDB_val key{static_cast<size_t>(term.size()), const_cast<char*>(term.constData())};
        MDB_val value{0, nullptr};
        int rc = MDB_NOTFOUND;
        std::vector<quint64> ids;
        const bool read = MappedReadGuard::run([&] {
            rc = _api.mdb_get(_txn, _postings, &key, &value);
            if (rc == 0 && value.mv_size % sizeof(quint64) == 0) {
                ids.resize(value.mv_size / sizeof(quint64));
                std::memcpy(ids.data(), value.mv_data, value.mv_size);
            }
        });
        if (read && rc == MDB_NOTFOUND) {
            return std::vector<quint64>();
        }
        if (!read || rc != 0 || value.mv_size % sizeof(quint64) != 0) {
            return std::nullopt;
        }
        for (quint64& id : ids) {
            id = qFromLittleEndian(id);
        }
        return ids;
    }

    // The absolute path of the document, or none when the index does not
    // lead from it to the root.
    std::optional<QByteArray> path(quint64 id) {
        const std::optional<Entry> entry = lookUp(id);
        if (!entry) {
            return std::nullopt;
        }
        std::optional<QByteArray> folder = folderPath(entry->parent);
        if (!folder) {
            return std::nullopt;
        }
        return *folder + '/' + entry->name;
    }

private:
    struct Entry {
        quint64 parent;
        QByteArray name;
    };

    std::optional<Entry> lookUp(quint64 id) const {
        MDB_val key{sizeof(id), &id};
        MDB_val value{0, nullptr};
        int rc = MDB_NOTFOUND;
        QByteArray bytes;
        const bool read = MappedReadGuard::run([&] {
            rc = _api.mdb_get(_txn, _names, &key, &value);
            if (rc == 0 && value.mv_size > sizeof(quint64)) {
                bytes.resize(static_cast<qsizetype>(value.mv_size));
                std::memcpy(bytes.data(), value.mv_data, value.mv_size);
            }
        });
        if (!read || bytes.isEmpty()) {
            return std::nullopt;
        }
        Entry entry{qFromLittleEndian<quint64>(bytes.constData()), bytes.mid(sizeof(quint64))};
        // A name that is no single path component is a spoilt entry.
        if (entry.name.contains('/') || entry.name.contains('\0') || entry.name == "." ||
            entry.name == "..") {
            return std::nullopt;
        }
        return entry;
    }

    // The folder's path, known once per folder; "" for the root.
    std::optional<QByteArray> folderPath(quint64 id) {
        std::vector<std::pair<quint64, QByteArray>> chain;
        QByteArray base;
        while (id != 0) {
            if (const auto known = _folders.constFind(id); known != _folders.cend()) {
                base = *known;
                break;
            }
            std::optional<Entry> entry;
            if (chain.size() >= maximumDepth || !(entry = lookUp(id))) {
                return std::nullopt;
            }
            chain.emplace_back(id, std::move(entry->name));
            id = entry->parent;
        }
        for (auto step = chain.rbegin(); step != chain.rend(); ++step) {
            base += '/' + step->second;
            _folders.insert(step->first, base);
        }
        return base;
    }

    const LmdbApi& _api;
    MDB_txn* _txn;
    MDB_dbi _postings;
    MDB_dbi _names;
    QHash<quint64, QByteArray> _folders;
};

// Reads the paths in one read-only transaction; Overtaken when the indexer
// committed twice meanwhile.
Outcome readOnce(const LmdbApi& api, MDB_env* env, const QByteArray& term, std::vector<QByteArray>& paths,
                 const std::function<bool()>& cancelled) {
    MDB_txn* txn = nullptr;
    int rc = -1;
    if (!MappedReadGuard::run([&] { rc = api.mdb_txn_begin(env, nullptr, MDB_RDONLY, &txn); }) || rc != 0) {
        return Outcome::Failed;
    }
    MDB_dbi postings = 0;
    MDB_dbi names = 0;
    Outcome outcome = Outcome::Failed;
    const bool opened = MappedReadGuard::run([&] {
        rc = api.mdb_dbi_open(txn, "postingdb", 0, &postings);
        if (rc == 0) {
            rc = api.mdb_dbi_open(txn, "idfilename", MDB_INTEGERKEY, &names);
        }
    });
    if (opened && rc == 0) {
        Snapshot snapshot(api, txn, postings, names);
        if (const std::optional<std::vector<quint64>> ids = snapshot.documents(term)) {
            outcome = Outcome::Read;
            paths.reserve(ids->size());
            for (std::size_t i = 0; i < ids->size(); ++i) {
                if ((i & 1023) == 1023 && cancelled()) {
                    outcome = Outcome::Failed;
                    break;
                }
                // A document without a whole path is left out, as Baloo does.
                if (std::optional<QByteArray> path = snapshot.path((*ids)[i])) {
                    paths.push_back(std::move(*path));
                }
            }
        }
    }
    const std::size_t read = api.mdb_txn_id(txn);
    api.mdb_txn_abort(txn);
    MDB_envinfo info{};
    if (outcome == Outcome::Read && (!MappedReadGuard::run([&] { rc = api.mdb_env_info(env, &info); }) ||
                                     rc != 0 || info.me_last_txnid > read + 1)) {
        outcome = Outcome::Overtaken;
    }
    return outcome;
}

// Whether the file holds every page the environment's last commit names:
// pages past its end would fault when read through the map.
bool holdsEveryPage(const LmdbApi& api, MDB_env* env, const QString& file) {
    MDB_envinfo info{};
    MDB_stat stat{};
    int rc = -1;
    const bool read = MappedReadGuard::run([&] {
        rc = api.mdb_env_info(env, &info);
        if (rc == 0) {
            rc = api.mdb_env_stat(env, &stat);
        }
    });
    if (!read || rc != 0 || stat.ms_psize == 0) {
        return false;
    }
    const qint64 size = QFileInfo(file).size();
    return (static_cast<qint64>(info.me_last_pgno) + 1) * stat.ms_psize <= size;
}

} // namespace

QString indexFile() {
    // Where the indexer keeps its database, BALOO_DB_PATH overriding it as it does for the indexer.
    QString folder = qEnvironmentVariable("BALOO_DB_PATH");
    if (folder.isEmpty()) {
        folder = UserDirectories::dataHome() + QStringLiteral("/baloo");
    }
    const QString file = folder + QStringLiteral("/index");
    return FileSystem::isRegularFile(file) ? file : QString();
}

std::optional<std::vector<QByteArray>> paths(const QString& indexFile, Type type,
                                             const std::function<bool()>& cancelled) {
    const LmdbApi* api = load();
    if (api == nullptr) {
        return std::nullopt;
    }
    const QByteArray term = 'T' + QByteArray::number(static_cast<int>(type));
    for (int attempt = 0; attempt < attempts; ++attempt) {
        MDB_env* env = nullptr;
        if (api->mdb_env_create(&env) != 0) {
            return std::nullopt;
        }
        api->mdb_env_set_maxdbs(env, 16);
        // Read-only, and no lock file: nothing in the index's folder is opened for writing.
        const unsigned flags = MDB_RDONLY | MDB_NOLOCK | MDB_NOSUBDIR | MDB_NORDAHEAD;
        std::vector<QByteArray> found;
        Outcome outcome = Outcome::Failed;
        const QByteArray file = Path::toNative(indexFile);
        int rc = -1;
        if (MappedReadGuard::run([&] { rc = api->mdb_env_open(env, file.constData(), flags, 0); }) &&
            rc == 0 && holdsEveryPage(*api, env, indexFile)) {
            outcome = readOnce(*api, env, term, found, cancelled);
        }
        api->mdb_env_close(env);
        if (outcome == Outcome::Read) {
            return found;
        }
        if (outcome == Outcome::Failed) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace BalooIndex
