#include "bench/LibraryGenerator.h"
#include "sources/catalogues/RhythmboxFolder.h"
#include "sources/catalogues/ShotwellFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstring>
#include <fstream>
#include <libxml/parser.h>
#include <malloc.h>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

// The Shotwell and Rhythmbox folders against the floor of their formats: a
// bare sqlite3 loop and a bare libxml2 SAX2 pass pulling the same fields into
// plain structs.
namespace {

constexpr int kPhotos = 100000;
constexpr int kEvents = 2000;
constexpr int kTags = 500;
constexpr int kSongs = 50000;

struct Libraries {
    QTemporaryDir dir;
    QString shotwell = dir.filePath(QStringLiteral("photo.db"));
    QString rhythmbox = dir.filePath(QStringLiteral("rhythmdb.xml"));
    Libraries() {
        LibraryGenerator::writeShotwell(shotwell, kPhotos, kEvents, kTags);
        LibraryGenerator::writeRhythmbox(rhythmbox, kSongs);
    }
};

const Libraries& libraries() {
    static const Libraries made;
    return made;
}

// --- the bare sqlite3 loop ---------------------------------------------------------------------

struct BarePhoto {
    qint64 id;
    QString filename;
    qint64 exposureTime;
    qint64 eventId;
    QString title;
    qint64 flags;
    QString comment;
};
struct BareShotwell {
    std::vector<BarePhoto> photos;
    std::vector<std::pair<qint64, QString>> events;
    std::vector<std::pair<QString, QString>> tags;
};

QString columnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text == nullptr ? QString() : QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

bool readBareShotwell(const QString& path, BareShotwell& library) {
    sqlite3* db = nullptr;
    const QByteArray uri = "file:" + QFile::encodeName(path) + "?mode=ro&immutable=1";
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT id, filename, exposure_time, event_id, title, flags, comment FROM PhotoTable "
                       "ORDER BY exposure_time, id",
                       -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        library.photos.push_back({sqlite3_column_int64(statement, 0), columnText(statement, 1),
                                  sqlite3_column_int64(statement, 2), sqlite3_column_int64(statement, 3),
                                  columnText(statement, 4), sqlite3_column_int64(statement, 5),
                                  columnText(statement, 6)});
    }
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db, "SELECT id, name FROM EventTable", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        library.events.emplace_back(sqlite3_column_int64(statement, 0), columnText(statement, 1));
    }
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db, "SELECT name, photo_id_list FROM TagTable ORDER BY name", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        library.tags.emplace_back(columnText(statement, 0), columnText(statement, 1));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return true;
}

// --- the bare SAX2 pass ------------------------------------------------------------------------

struct BareSong {
    QString title;
    QString artist;
    qint64 duration = 0;
    QString location;
};
struct SaxState {
    std::vector<BareSong> songs;
    int depth = 0;
    bool song = false;
    int field = 0; // 1 title, 2 artist, 3 duration, 4 location
    std::string text;
    BareSong current;
};

void onStart(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
             int attributeCount, int, const xmlChar** attributes) {
    auto* state = static_cast<SaxState*>(context);
    ++state->depth;
    const auto* n = reinterpret_cast<const char*>(name);
    if (state->depth == 2) {
        state->song = false;
        for (int i = 0; i < attributeCount; ++i) {
            const xmlChar** a = attributes + 5 * i;
            if (std::strcmp(reinterpret_cast<const char*>(a[0]), "type") == 0) {
                state->song = a[4] - a[3] == 4 && std::memcmp(a[3], "song", 4) == 0;
            }
        }
        state->current = {};
    } else if (state->depth == 3 && state->song) {
        state->field = std::strcmp(n, "title") == 0      ? 1
                       : std::strcmp(n, "artist") == 0   ? 2
                       : std::strcmp(n, "duration") == 0 ? 3
                       : std::strcmp(n, "location") == 0 ? 4
                                                         : 0;
        state->text.clear();
    }
}

void onEnd(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* state = static_cast<SaxState*>(context);
    if (state->depth == 3 && state->field != 0) {
        const QString text =
            QString::fromUtf8(state->text.data(), static_cast<qsizetype>(state->text.size()));
        switch (state->field) {
        case 1:
            state->current.title = text;
            break;
        case 2:
            state->current.artist = text;
            break;
        case 3:
            state->current.duration = std::stoll(state->text);
            break;
        default:
            state->current.location = text;
        }
        state->field = 0;
    } else if (state->depth == 2 && state->song) {
        state->songs.push_back(std::move(state->current));
    }
    --state->depth;
}

void onCharacters(void* context, const xmlChar* text, int length) {
    auto* state = static_cast<SaxState*>(context);
    if (state->field != 0) {
        state->text.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    }
}

bool readBareRhythmbox(const QString& path, std::vector<BareSong>& songs) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof(sax));
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = onStart;
    sax.endElementNs = onEnd;
    sax.characters = onCharacters;
    SaxState state;
    const int result = xmlSAXUserParseMemory(&sax, &state, bytes.constData(), static_cast<int>(bytes.size()));
    songs = std::move(state.songs);
    return result == 0;
}

// --- measuring ---------------------------------------------------------------------------------

double statusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
        }
    }
    return 0;
}

template <typename Load, typename Release>
void measureMemory(benchmark::State& state, Load load, Release release) {
    for (auto _ : state) {
        malloc_trim(0);
        const double before = statusMegabytes("VmRSS");
        std::ofstream("/proc/self/clear_refs") << "5";
        load();
        const double peak = statusMegabytes("VmHWM");
        malloc_trim(0);
        const double retained = statusMegabytes("VmRSS") - before;
        release();
        state.counters["peak_growth_MB"] = peak - before;
        state.counters["retained_MB"] = retained;
    }
}

MediaFolderPtr loadedShotwell(const QString& path) {
    auto folder = std::make_shared<ShotwellFolder>(QStringLiteral("Shotwell"), path, QString(),
                                                   ShotwellFolder::Media::Photos);
    folder->files();
    return folder;
}

MediaFolderPtr loadedRhythmbox(const QString& path) {
    auto folder = std::make_shared<RhythmboxFolder>(QStringLiteral("Rhythmbox"), path, QString());
    folder->files();
    return folder;
}

void BM_ShotwellFolderMemory(benchmark::State& state) {
    MediaFolderPtr folder;
    measureMemory(
        state, [&] { folder = loadedShotwell(libraries().shotwell); }, [&] { folder.reset(); });
}

void BM_ShotwellSqliteBaselineMemory(benchmark::State& state) {
    std::optional<BareShotwell> library;
    measureMemory(
        state, [&] { readBareShotwell(libraries().shotwell, library.emplace()); }, [&] { library.reset(); });
}

void BM_ShotwellFolderLoad(benchmark::State& state) {
    for (auto _ : state) {
        MediaFolderPtr folder = loadedShotwell(libraries().shotwell);
        // Events and tags whose photos are all trashed (every 50th) are not shown.
        if (folder->files().size() != kPhotos - kPhotos / 50 ||
            folder->folders().size() != kEvents + kTags - kEvents / 50 - kTags / 50) {
            state.SkipWithError(QStringLiteral("Shotwell library not loaded: %1 photos, %2 folders")
                                    .arg(folder->files().size())
                                    .arg(folder->folders().size())
                                    .toUtf8()
                                    .constData());
            break;
        }
        state.PauseTiming();
        folder.reset();
        state.ResumeTiming();
    }
}

void BM_ShotwellSqliteBaseline(benchmark::State& state) {
    for (auto _ : state) {
        BareShotwell library;
        if (!readBareShotwell(libraries().shotwell, library) || library.photos.size() != kPhotos) {
            state.SkipWithError("baseline read failed");
            break;
        }
        benchmark::DoNotOptimize(library);
        state.PauseTiming();
        library = {};
        state.ResumeTiming();
    }
}

void BM_RhythmboxFolderLoad(benchmark::State& state) {
    for (auto _ : state) {
        MediaFolderPtr folder = loadedRhythmbox(libraries().rhythmbox);
        if (folder->files().size() != kSongs) {
            state.SkipWithError("Rhythmbox library not loaded");
            break;
        }
        state.PauseTiming();
        folder.reset();
        state.ResumeTiming();
    }
}

void BM_RhythmboxSaxBaseline(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<BareSong> songs;
        if (!readBareRhythmbox(libraries().rhythmbox, songs) || songs.size() != kSongs) {
            state.SkipWithError("baseline read failed");
            break;
        }
        benchmark::DoNotOptimize(songs);
        state.PauseTiming();
        songs = {};
        state.ResumeTiming();
    }
}

} // namespace

// Memory first, while the heap is fresh.
BENCHMARK(BM_ShotwellSqliteBaselineMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShotwellFolderMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShotwellSqliteBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShotwellFolderLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RhythmboxSaxBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RhythmboxFolderLoad)->Unit(benchmark::kMillisecond);
