#include "bench/CatalogueGenerator.h"
#include "bench/ProcessMemory.h"
#include "bench/SaxBaseline.h"
#include "platform/catalogues/PlistReader.h"
#include "platform/catalogues/XmlTextRepair.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <optional>
#include <string>

namespace {

constexpr int kTracks = 50000;
constexpr int kPhotos = 20000;

// The generated catalogues, made once per run.
struct Catalogues {
    QTemporaryDir dir;
    QString itunes = dir.filePath(QStringLiteral("iTunes Music Library.xml"));
    QString iphoto = dir.filePath(QStringLiteral("AlbumData.xml"));
    Catalogues() {
        CatalogueGenerator::writeITunesLibrary(itunes, kTracks);
        CatalogueGenerator::writeIPhotoLibrary(iphoto, kPhotos);
    }
};

const Catalogues& catalogues() {
    static const Catalogues made;
    return made;
}

double megabytes(const QString& path) {
    return static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

// Runs load with the peak resident size reset, and reports how far the peak
// rose above the resident size before, and what stays resident after load
// while its result is still held (then released by release).
template <typename Load, typename Release>
void measureMemory(benchmark::State& state, const QString& path, Load load, Release release) {
    for (auto _ : state) {
        ProcessMemory::trimHeap();
        const double before = ProcessMemory::residentMegabytes();
        ProcessMemory::resetPeak();
        load();
        const double peak = ProcessMemory::peakMegabytes();
        ProcessMemory::trimHeap();
        const double retained = ProcessMemory::residentMegabytes() - before;
        release();
        state.counters["file_MB"] = megabytes(path);
        state.counters["peak_growth_MB"] = peak - before;
        state.counters["retained_MB"] = retained;
    }
}

ITunesFolderPtr loadedITunes(const QString& path) {
    auto folder = ITunesFolder::create(QStringLiteral("iTunes"), path, true, false);
    if (folder) {
        folder->files();
    }
    return folder;
}

IPhotoFolderPtr loadedIPhoto(const QString& path) {
    auto folder = IPhotoFolder::create(QStringLiteral("iPhoto"), path);
    if (folder) {
        folder->files();
    }
    return folder;
}

// Memory first: the process's heap is still fresh.
void BM_ITunesFolderMemory(benchmark::State& state) {
    const QString path = catalogues().itunes;
    ITunesFolderPtr folder;
    measureMemory(
        state, path, [&] { folder = loadedITunes(path); }, [&] { folder.reset(); });
}

void BM_ITunesSaxBaselineMemory(benchmark::State& state) {
    const QString path = catalogues().itunes;
    std::optional<SaxBaseline::ITunesLibrary> library;
    measureMemory(
        state, path, [&] { SaxBaseline::readITunes(path, library.emplace()); }, [&] { library.reset(); });
}

void BM_IPhotoFolderMemory(benchmark::State& state) {
    const QString path = catalogues().iphoto;
    IPhotoFolderPtr folder;
    measureMemory(
        state, path, [&] { folder = loadedIPhoto(path); }, [&] { folder.reset(); });
}

void BM_ITunesFolderLoad(benchmark::State& state) {
    const QString path = catalogues().itunes;
    for (auto _ : state) {
        ITunesFolderPtr folder = loadedITunes(path);
        if (!folder || folder->files().size() != kTracks || folder->folders().size() != 300) {
            state.SkipWithError("iTunes library not loaded");
        }
        state.PauseTiming(); // releasing the library is not part of loading it
        folder.reset();
        state.ResumeTiming();
    }
}

void BM_IPhotoFolderLoad(benchmark::State& state) {
    const QString path = catalogues().iphoto;
    for (auto _ : state) {
        IPhotoFolderPtr folder = loadedIPhoto(path);
        if (!folder || folder->files().size() != kPhotos || folder->folders().size() != 400) {
            state.SkipWithError("iPhoto library not loaded");
        }
        state.PauseTiming();
        folder.reset();
        state.ResumeTiming();
    }
}

void BM_ITunesSaxBaseline(benchmark::State& state) {
    const QString path = catalogues().itunes;
    for (auto _ : state) {
        SaxBaseline::ITunesLibrary library;
        if (!SaxBaseline::readITunes(path, library) || library.tracks.size() != kTracks) {
            state.SkipWithError("baseline read failed");
        }
        benchmark::DoNotOptimize(library);
    }
    state.counters["file_MB"] = megabytes(path);
}

void BM_ITunesPlistStream(benchmark::State& state) {
    const QString path = catalogues().itunes;
    for (auto _ : state) {
        PlistReader reader;
        reader.setRootKeys({});
        std::size_t tracks = 0;
        std::size_t playlists = 0;
        reader.streamDictionary(QStringLiteral("Tracks"),
                                {QStringLiteral("Name"), QStringLiteral("Artist"),
                                 QStringLiteral("Total Time"), QStringLiteral("Location"),
                                 QStringLiteral("Has Video")},
                                [&](const QString&, PlistValue&&) { ++tracks; });
        reader.streamArray(QStringLiteral("Playlists"), {}, [&](PlistValue&&) { ++playlists; });
        if (!reader.readFile(path).isDictionary() || tracks != kTracks) {
            state.SkipWithError("stream read failed");
        }
    }
}

void BM_IPhotoSaxBaseline(benchmark::State& state) {
    const QString path = catalogues().iphoto;
    for (auto _ : state) {
        SaxBaseline::IPhotoLibrary library;
        if (!SaxBaseline::readIPhoto(path, library) || library.photos.size() != kPhotos) {
            state.SkipWithError("baseline read failed");
        }
        benchmark::DoNotOptimize(library);
    }
    state.counters["file_MB"] = megabytes(path);
}

} // namespace

// The mending of bad bytes alone, over the whole iTunes catalogue in the
// reader's chunk size: what it adds to every catalogue load.
void BM_ITunesTextRepair(benchmark::State& state) {
    QFile file(catalogues().itunes);
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no catalogue");
        return;
    }
    const QByteArray bytes = file.readAll();
    constexpr qsizetype kChunk = 256 * 1024;
    std::string out;
    out.reserve(kChunk * 2);
    for (auto _ : state) {
        XmlTextRepair repair;
        for (qsizetype offset = 0; offset < bytes.size(); offset += kChunk) {
            out.clear();
            repair.feed(bytes.constData() + offset,
                        static_cast<std::size_t>(std::min(kChunk, bytes.size() - offset)), out, false);
            benchmark::DoNotOptimize(out.data());
        }
        out.clear();
        repair.feed(nullptr, 0, out, true);
    }
    state.counters["file_MB"] = megabytes(catalogues().itunes);
}

BENCHMARK(BM_ITunesFolderMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ITunesSaxBaselineMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_IPhotoFolderMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ITunesSaxBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ITunesFolderLoad)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ITunesTextRepair)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ITunesPlistStream)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_IPhotoSaxBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_IPhotoFolderLoad)->Unit(benchmark::kMillisecond)->Iterations(5);
