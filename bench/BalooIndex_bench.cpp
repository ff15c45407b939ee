#include "platform/index/BalooIndex.h"
#include "platform/system/LoadProgress.h"
#include "sources/index/BalooReader.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstring>
#include <lmdb.h>
#include <string>

// KDE's file index with 100,000 songs: the paths alone (the read before the
// songs took their tags) against the paths with each song's document data,
// and the whole reader making the tracks and albums. The index is written
// with liblmdb in the indexer's own layout: songs in 1,000 album folders, a
// posting list for the audio type, and each song's data as the indexer's
// extractors leave it.
namespace {

constexpr quint64 kSongs = 100000;
constexpr quint64 kAlbums = 1000;

void put(MDB_txn* txn, MDB_dbi dbi, const void* key, size_t keySize, const std::string& value) {
    MDB_val k{keySize, const_cast<void*>(key)};
    MDB_val v{value.size(), const_cast<char*>(value.data())};
    if (mdb_put(txn, dbi, &k, &v, 0) != 0) {
        std::abort();
    }
}

std::string entry(quint64 parent, const std::string& name) {
    std::string bytes(sizeof(parent), '\0');
    std::memcpy(bytes.data(), &parent, sizeof(parent));
    return bytes + name;
}

struct Index {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("index"));

    Index() {
        MDB_env* env = nullptr;
        MDB_txn* txn = nullptr;
        MDB_dbi postings = 0;
        MDB_dbi names = 0;
        MDB_dbi data = 0;
        mdb_env_create(&env);
        mdb_env_set_maxdbs(env, 16);
        mdb_env_set_mapsize(env, size_t(1) << 30);
        if (mdb_env_open(env, file.toLocal8Bit().constData(), MDB_NOSUBDIR, 0664) != 0 ||
            mdb_txn_begin(env, nullptr, 0, &txn) != 0 ||
            mdb_dbi_open(txn, "postingdb", MDB_CREATE, &postings) ||
            mdb_dbi_open(txn, "idfilename", MDB_CREATE | MDB_INTEGERKEY, &names) ||
            mdb_dbi_open(txn, "documentdatadb", MDB_CREATE | MDB_INTEGERKEY, &data)) {
            std::abort();
        }
        // Folder 1 is the music folder under the root; albums are 2...; songs follow.
        const quint64 music = 1;
        put(txn, names, &music, sizeof(music), entry(0, "music"));
        std::string songIds;
        for (quint64 album = 0; album < kAlbums; ++album) {
            const quint64 folder = 2 + album;
            const std::string albumName = "Album " + std::to_string(album);
            put(txn, names, &folder, sizeof(folder), entry(music, albumName));
            for (quint64 track = 0; track < kSongs / kAlbums; ++track) {
                const quint64 id = 2 + kAlbums + album * (kSongs / kAlbums) + track;
                songIds.append(reinterpret_cast<const char*>(&id), sizeof(id));
                const std::string title = "Song " + std::to_string(track) + " of " + albumName;
                put(txn, names, &id, sizeof(id), entry(folder, std::to_string(track) + " " + title + ".mp3"));
                put(txn, data, &id, sizeof(id),
                    R"({"1":128000,"10":")" + albumName + R"(","15":")" + title + R"(","2":2,"3":)" +
                        std::to_string(120 + id % 300) + R"(,"5":44100,"9":"Artist )" +
                        std::to_string(album % 97) + R"("})");
            }
        }
        put(txn, postings, "T2", 2, songIds);
        if (mdb_txn_commit(txn) != 0) {
            std::abort();
        }
        mdb_env_close(env);
    }
};

const Index& index() {
    static const Index made;
    return made;
}

void BM_BalooPathsOnly(benchmark::State& state) {
    const QString file = index().file;
    for (auto _ : state) {
        const auto documents =
            BalooIndex::documents(file, BalooIndex::Type::Audio, false, [] { return false; });
        if (!documents || documents->size() != kSongs) {
            state.SkipWithError("the songs were not read");
            break;
        }
        benchmark::DoNotOptimize(documents->data());
    }
}

void BM_BalooPathsWithData(benchmark::State& state) {
    const QString file = index().file;
    for (auto _ : state) {
        const auto documents =
            BalooIndex::documents(file, BalooIndex::Type::Audio, true, [] { return false; });
        if (!documents || documents->size() != kSongs || documents->back().properties.title.isEmpty()) {
            state.SkipWithError("the songs' data were not read");
            break;
        }
        benchmark::DoNotOptimize(documents->data());
    }
}

void BM_BalooReaderSongs(benchmark::State& state) {
    const QString file = index().file;
    for (auto _ : state) {
        LoadProgress progress;
        const CatalogueContents contents = BalooReader::read(file, BalooIndex::Type::Audio, progress);
        if (contents.items.size() != kSongs || contents.groups.empty()) {
            state.SkipWithError("the songs were not read");
            break;
        }
        benchmark::DoNotOptimize(contents.items.data());
    }
}

} // namespace

BENCHMARK(BM_BalooPathsOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BalooPathsWithData)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BalooReaderSongs)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
