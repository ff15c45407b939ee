#include "bench/LibraryDatabases.h"
#include "bench/ProcessMemory.h"
#include "sources/catalogues/DarktableReader.h"
#include "sources/catalogues/ElisaReader.h"
#include "sources/catalogues/KodiReader.h"
#include "sources/catalogues/LightroomReader.h"
#include "sources/catalogues/LollypopReader.h"
#include "sources/catalogues/PhotosLibraryReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

// The readers of the photographers' and listeners' libraries against the
// floor of their format: a bare sqlite3 loop running the same statements
// over the same rows, pulling every column into plain vectors (text as
// QString, the way any reader must hold it).
namespace {

constexpr int kItems = 100000;
constexpr int kAlbums = 5000;

struct Libraries {
    QTemporaryDir dir;
    QString darktable = dir.filePath(QStringLiteral("library.db"));
    QString darktableData = dir.filePath(QStringLiteral("data.db"));
    QString lightroom = dir.filePath(QStringLiteral("Catalog.lrcat"));
    QString photos = dir.filePath(QStringLiteral("Photos Library.photoslibrary"));
    QString elisa = dir.filePath(QStringLiteral("elisaDatabase.db"));
    QString lollypop = dir.filePath(QStringLiteral("lollypop.db"));
    QString lollypopPlaylists = dir.filePath(QStringLiteral("playlists.db"));
    QString kodi = dir.filePath(QStringLiteral("MyMusic82.db"));
    Libraries() {
        LibraryDatabases::writeDarktable(darktable, darktableData, kItems);
        LibraryDatabases::writeLightroom(lightroom, kItems);
        QDir().mkpath(photos + QStringLiteral("/database"));
        LibraryDatabases::writePhotosLibrary(photos, kItems, kAlbums);
        LibraryDatabases::writeElisa(elisa, kItems);
        LibraryDatabases::writeLollypop(lollypop, lollypopPlaylists, kItems);
        LibraryDatabases::writeKodiMusic(kodi, kItems);
    }
};

const Libraries& libraries() {
    static const Libraries made;
    return made;
}

// What the bare loop pulled out.
struct BareRows {
    std::vector<QString> texts;
    std::vector<qint64> numbers;
    std::size_t rows = 0;
};

// Runs each statement on the database (database, sql) pairs, read-only.
bool bareRead(const std::vector<std::pair<QString, const char*>>& statements, BareRows& out) {
    for (const auto& [path, sql] : statements) {
        sqlite3* db = nullptr;
        const QByteArray uri = "file:" + QFile::encodeName(path) + "?mode=ro&immutable=1";
        if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
            SQLITE_OK) {
            sqlite3_close(db);
            return false;
        }
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            return false;
        }
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            ++out.rows;
            for (int column = 0; column < columns; ++column) {
                if (sqlite3_column_type(statement, column) == SQLITE_TEXT) {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                    out.texts.push_back(QString::fromUtf8(text, sqlite3_column_bytes(statement, column)));
                } else {
                    out.numbers.push_back(sqlite3_column_int64(statement, column));
                }
            }
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }
    return true;
}

// Each library: its reader, and the statements it runs.
struct Kind {
    std::function<CatalogueContents()> read;
    std::function<std::vector<std::pair<QString, const char*>>()> statements;
    std::size_t expectedItems;
};

LoadProgress unobserved;

Kind darktable() {
    return {[] {
                return DarktableReader::read(libraries().darktable, libraries().darktableData, {},
                                             unobserved);
            },
            [] {
                const Libraries& l = libraries();
                return std::vector<std::pair<QString, const char*>>{
                    {l.darktableData, "SELECT id, name FROM tags"},
                    {l.darktable,
                     "SELECT i.id, i.film_id, i.filename, i.flags, f.folder FROM images i JOIN film_rolls f "
                     "ON f.id = i.film_id ORDER BY f.folder, i.film_id, i.filename, i.id"},
                    {l.darktable, "SELECT imgid, color FROM color_labels ORDER BY imgid"},
                    {l.darktable, "SELECT tagid, imgid FROM tagged_images"}};
            },
            kItems - kItems / 25};
}

Kind lightroom() {
    return {[] {
                return LightroomReader::read(libraries().lightroom, LightroomReader::Media::Pictures,
                                             ForeignPaths({}), unobserved);
            },
            [] {
                const QString& l = libraries().lightroom;
                return std::vector<std::pair<QString, const char*>>{
                    {l, "SELECT id_local, absolutePath, name FROM AgLibraryRootFolder ORDER BY id_local"},
                    {l,
                     "SELECT i.id_local, i.pick, i.fileFormat, f.baseName, f.extension, fo.pathFromRoot, "
                     "fo.rootFolder, fo.id_local FROM Adobe_images i JOIN AgLibraryFile f ON f.id_local = "
                     "i.rootFile JOIN AgLibraryFolder fo ON fo.id_local = f.folder ORDER BY i.captureTime, "
                     "i.id_local"},
                    {l, "SELECT id_local, name, parent, creationId, systemOnly FROM AgLibraryCollection "
                        "ORDER BY name, "
                        "id_local"},
                    {l, "SELECT collection, image FROM AgLibraryCollectionImage ORDER BY collection, "
                        "positionInCollection, id_local"},
                    {l, "SELECT id_local, name, parent FROM AgLibraryKeyword ORDER BY lower(name), id_local"},
                    {l, "SELECT tag, image FROM AgLibraryKeywordImage ORDER BY tag, image"}};
            },
            kItems - kItems / 25};
}

Kind photos() {
    return {[] {
                return PhotosLibraryReader::read(libraries().photos, PhotosLibraryReader::Media::Pictures,
                                                 unobserved);
            },
            [] {
                const QString db = PhotosLibraryReader::databaseOf(libraries().photos);
                return std::vector<std::pair<QString, const char*>>{
                    {db, "SELECT a.Z_PK, a.ZUUID, a.ZDIRECTORY, a.ZFILENAME, a.ZDATECREATED, a.ZKIND, "
                         "a.ZTRASHEDSTATE, a.ZHIDDEN, t.ZTITLE, t.ZORIGINALFILENAME FROM ZASSET a LEFT JOIN "
                         "ZADDITIONALASSETATTRIBUTES t ON t.ZASSET = a.Z_PK ORDER BY a.ZDATECREATED, a.Z_PK"},
                    {db, "SELECT Z_PK, ZTITLE, ZPARENTFOLDER, ZKIND, ZTRASHEDSTATE, ZUUID FROM ZGENERICALBUM "
                         "ORDER BY "
                         "Z_PK"},
                    {db, "SELECT z_28albums, z_3assets FROM Z_28ASSETS ORDER BY z_28albums, z_fok_3assets"}};
            },
            // Every 20th a video (the movies tree's), every 50th trashed, every 100th both.
            kItems - kItems / 20 - kItems / 50 + kItems / 100};
}

Kind elisa() {
    return {[] { return ElisaReader::read(libraries().elisa, unobserved); },
            [] {
                return std::vector<std::pair<QString, const char*>>{
                    {libraries().elisa,
                     "SELECT t.ID, t.FileName, t.Title, t.ArtistName, t.Duration, t.AlbumTitle, "
                     "t.AlbumArtistName, t.AlbumPath FROM Tracks t ORDER BY t.ID"}};
            },
            kItems};
}

Kind lollypop() {
    return {
        [] { return LollypopReader::read(libraries().lollypop, libraries().lollypopPlaylists, unobserved); },
        [] {
            const Libraries& l = libraries();
            return std::vector<std::pair<QString, const char*>>{
                {l.lollypop, "SELECT ta.track_id, a.name FROM track_artists ta JOIN artists a ON a.id = "
                             "ta.artist_id ORDER BY ta.track_id, ta.ROWID"},
                {l.lollypop, "SELECT id, name FROM albums"},
                {l.lollypop,
                 "SELECT id, uri, name, duration, album_id, storage_type FROM tracks ORDER BY id"},
                {l.lollypopPlaylists, "SELECT id, name, smart_enabled FROM playlists ORDER BY name, id"},
                {l.lollypopPlaylists, "SELECT playlist_id, uri FROM tracks ORDER BY ROWID"}};
        },
        kItems};
}

Kind kodi() {
    return {[] { return KodiReader::readMusic(libraries().kodi, unobserved); },
            [] {
                const QString& l = libraries().kodi;
                return std::vector<std::pair<QString, const char*>>{
                    {l, "SELECT idAlbum, strAlbum FROM album"},
                    {l,
                     "SELECT s.idSong, p.strPath, s.strFileName, s.strTitle, s.strArtistDisp, s.iDuration, "
                     "s.idAlbum FROM song s JOIN path p ON p.idPath = s.idPath ORDER BY s.idSong"}};
            },
            kItems};
}

void readerLoad(benchmark::State& state, const Kind& kind) {
    for (auto _ : state) {
        auto contents = std::make_unique<CatalogueContents>(kind.read());
        if (contents->failed || contents->items.size() != kind.expectedItems) {
            state.SkipWithError(QStringLiteral("library not read: %1 items")
                                    .arg(contents->items.size())
                                    .toUtf8()
                                    .constData());
            break;
        }
        state.PauseTiming();
        contents.reset();
        state.ResumeTiming();
    }
}

void bareLoad(benchmark::State& state, const Kind& kind) {
    const auto statements = kind.statements();
    for (auto _ : state) {
        std::optional<BareRows> rows(std::in_place);
        if (!bareRead(statements, *rows) || rows->rows < kind.expectedItems) {
            state.SkipWithError("baseline read failed");
            break;
        }
        benchmark::DoNotOptimize(*rows);
        state.PauseTiming();
        rows.reset();
        state.ResumeTiming();
    }
}

// The peak resident size while loading, above what was resident before.
template <typename Load> void peak(benchmark::State& state, Load load) {
    for (auto _ : state) {
        ProcessMemory::trimHeap();
        const double before = ProcessMemory::residentMegabytes();
        ProcessMemory::resetPeak();
        load();
        state.counters["peak_growth_MB"] = ProcessMemory::peakMegabytes() - before;
    }
}

void readerMemory(benchmark::State& state, const Kind& kind) {
    peak(state, [&] {
        const CatalogueContents contents = kind.read();
        benchmark::DoNotOptimize(contents.items.size());
    });
}

void bareMemory(benchmark::State& state, const Kind& kind) {
    const auto statements = kind.statements();
    peak(state, [&] {
        BareRows rows;
        bareRead(statements, rows);
        benchmark::DoNotOptimize(rows.rows);
    });
}

const struct {
    const char* name;
    Kind (*kind)();
} kKinds[] = {{"Darktable", darktable}, {"Lightroom", lightroom}, {"Photos", photos},
              {"Elisa", elisa},         {"Lollypop", lollypop},   {"KodiMusic", kodi}};

const bool registered = [] {
    // Memory first, while the heap is fresh; each measured once.
    for (const auto& entry : kKinds) {
        const Kind kind = entry.kind();
        benchmark::RegisterBenchmark((std::string("BM_") + entry.name + "SqliteBaselineMemory").c_str(),
                                     [kind](benchmark::State& state) { bareMemory(state, kind); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_") + entry.name + "ReaderMemory").c_str(),
                                     [kind](benchmark::State& state) { readerMemory(state, kind); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    for (const auto& entry : kKinds) {
        const Kind kind = entry.kind();
        benchmark::RegisterBenchmark((std::string("BM_") + entry.name + "SqliteBaseline").c_str(),
                                     [kind](benchmark::State& state) { bareLoad(state, kind); })
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime();
        benchmark::RegisterBenchmark((std::string("BM_") + entry.name + "ReaderLoad").c_str(),
                                     [kind](benchmark::State& state) { readerLoad(state, kind); })
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime();
    }
    return true;
}();

} // namespace
