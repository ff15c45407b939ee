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
    Snapshot(const LmdbApi& api, MDB_txn* txn, MDB_dbi postings, MDB_dbi names, std::optional<MDB_dbi> data)
        : _api(api)
        , _txn(txn)
        , _postings(postings)
        , _names(names)
        , _data(data) {}

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

    // The document's absolute path, with what the indexer's extractors found
    // in it when the data is read; none when the index does not lead from it
    // to the root. Its data, when it has none that can be read, gives empty
    // properties.
    std::optional<Document> document(quint64 id) {
        bool hasData = false;
        const std::optional<Entry> entry = lookUp(id, _data ? &hasData : nullptr);
        if (!entry) {
            return std::nullopt;
        }
        std::optional<QByteArray> folder = folderPath(entry->parent);
        if (!folder) {
            return std::nullopt;
        }
        Document document{*folder + '/' + entry->name, {}};
        if (hasData) {
            document.properties = BalooDocumentData::parse(_buffer);
        }
        return document;
    }

private:
    struct Entry {
        quint64 parent;
        QByteArray name;
    };

    // The document's entry; its data copied into _buffer too when hasData
    // is given, which says whether there was any to copy. One guarded read
    // for both: each costs the process a change of its signal mask.
    std::optional<Entry> lookUp(quint64 id, bool* hasData = nullptr) {
        MDB_val key{sizeof(id), &id};
        MDB_val value{0, nullptr};
        MDB_val data{0, nullptr};
        int rc = MDB_NOTFOUND;
        QByteArray bytes;
        const bool read = MappedReadGuard::run([&] {
            rc = _api.mdb_get(_txn, _names, &key, &value);
            if (rc == 0 && value.mv_size > sizeof(quint64)) {
                bytes.resize(static_cast<qsizetype>(value.mv_size));
                std::memcpy(bytes.data(), value.mv_data, value.mv_size);
                // Data past the bound is read no further (the file is still listed).
                if (hasData != nullptr && _api.mdb_get(_txn, *_data, &key, &data) == 0 &&
                    data.mv_size <= static_cast<size_t>(BalooDocumentData::maximumSize)) {
                    _buffer.resize(static_cast<qsizetype>(data.mv_size));
                    std::memcpy(_buffer.data(), data.mv_data, data.mv_size);
                    *hasData = true;
                }
            }
        });
        if (!read && hasData != nullptr) {
            // A fault may have been in the data's pages: the entry alone, as without data.
            *hasData = false;
            return lookUp(id, nullptr);
        }
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
    std::optional<MDB_dbi> _data;
    QByteArray _buffer; // one document's data, its room kept from one to the next
    QHash<quint64, QByteArray> _folders;
};

// Reads the documents in one read-only transaction; Overtaken when the indexer
// committed twice meanwhile.
Outcome readOnce(const LmdbApi& api, MDB_env* env, const QByteArray& term, bool withData,
                 std::vector<Document>& documents, const std::function<bool()>& cancelled) {
    MDB_txn* txn = nullptr;
    int rc = -1;
    if (!MappedReadGuard::run([&] { rc = api.mdb_txn_begin(env, nullptr, MDB_RDONLY, &txn); }) || rc != 0) {
        return Outcome::Failed;
    }
    MDB_dbi postings = 0;
    MDB_dbi names = 0;
    MDB_dbi data = 0;
    int dataRc = -1;
    Outcome outcome = Outcome::Failed;
    const bool opened = MappedReadGuard::run([&] {
        rc = api.mdb_dbi_open(txn, "postingdb", 0, &postings);
        if (rc == 0) {
            rc = api.mdb_dbi_open(txn, "idfilename", MDB_INTEGERKEY, &names);
        }
        if (rc == 0 && withData) {
            dataRc = api.mdb_dbi_open(txn, "documentdatadb", MDB_INTEGERKEY, &data);
        }
    });
    if (opened && rc == 0) {
        // Without the extractors' data the files are still listed, by name.
        Snapshot snapshot(api, txn, postings, names, dataRc == 0 ? std::optional(data) : std::nullopt);
        if (const std::optional<std::vector<quint64>> ids = snapshot.documents(term)) {
            outcome = Outcome::Read;
            documents.reserve(ids->size());
            for (std::size_t i = 0; i < ids->size(); ++i) {
                if ((i & 1023) == 1023 && cancelled()) {
                    outcome = Outcome::Failed;
                    break;
                }
                // A document without a whole path is left out, as Baloo does.
                if (std::optional<Document> document = snapshot.document((*ids)[i])) {
                    documents.push_back(std::move(*document));
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

std::optional<std::vector<Document>> documents(const QString& indexFile, Type type, bool withData,
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
        std::vector<Document> found;
        Outcome outcome = Outcome::Failed;
        const QByteArray file = Path::toNative(indexFile);
        int rc = -1;
        if (MappedReadGuard::run([&] { rc = api->mdb_env_open(env, file.constData(), flags, 0); }) &&
            rc == 0 && holdsEveryPage(*api, env, indexFile)) {
            outcome = readOnce(*api, env, term, withData, found, cancelled);
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

std::optional<std::vector<QByteArray>> paths(const QString& indexFile, Type type,
                                             const std::function<bool()>& cancelled) {
    std::optional<std::vector<Document>> found = documents(indexFile, type, false, cancelled);
    if (!found) {
        return std::nullopt;
    }
    std::vector<QByteArray> paths;
    paths.reserve(found->size());
    for (Document& document : *found) {
        paths.push_back(std::move(document.path));
    }
    return paths;
}

} // namespace BalooIndex
