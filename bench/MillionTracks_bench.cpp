// A 1,000,000-track iTunes catalogue (about 1.6 GB, generated once into
// /tmp/qvmb-bench): the library folder's load against the bare SAX2 pass over
// the same file, in CPU time of the whole process (the machine is shared, so
// wall time says little), and the memory the load adds against the file size.
//
// Memory is measured best in a fresh process, one benchmark per run:
//   million_tracks_bench --benchmark_filter=ITunesFolderMemory
//   million_tracks_bench --benchmark_filter=Load

#include "bench/CatalogueGenerator.h"
#include "bench/ProcessMemory.h"
#include "bench/SaxBaseline.h"
#include "sources/catalogues/ITunesFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>
#include <optional>

namespace {

constexpr int kTracks = 1000000;

QString catalogue() {
    const QString path = QStringLiteral("/tmp/qvmb-bench/itunes-%1.xml").arg(kTracks);
    if (!QFileInfo::exists(path)) {
        // Written aside and renamed, so that an interrupted run leaves no half catalogue.
        QDir().mkpath(QStringLiteral("/tmp/qvmb-bench"));
        CatalogueGenerator::writeITunesLibrary(path + QStringLiteral(".part"), kTracks);
        QFile::rename(path + QStringLiteral(".part"), path);
    }
    return path;
}

double fileMegabytes() {
    return static_cast<double>(QFileInfo(catalogue()).size()) / (1024.0 * 1024.0);
}

ITunesFolderPtr loadedFolder() {
    ITunesFolderPtr folder = ITunesFolder::create(QStringLiteral("iTunes"), catalogue(), true, false);
    if (folder) {
        folder->files(); // no event loop runs: the folder reads here, as qvmb-dump does
    }
    return folder;
}

// How far the load raises the resident size at its peak and what stays
// resident while the result is held, against the file's size.
template <typename Load, typename Release>
void measureMemory(benchmark::State& state, Load load, Release release) {
    const double fileMB = fileMegabytes();
    for (auto _ : state) {
        ProcessMemory::trimHeap();
        const double before = ProcessMemory::residentMegabytes();
        ProcessMemory::resetPeak();
        load();
        const double peak = ProcessMemory::peakMegabytes() - before;
        ProcessMemory::trimHeap();
        const double retained = ProcessMemory::residentMegabytes() - before;
        release();
        state.counters["file_MB"] = fileMB;
        state.counters["peak_growth_MB"] = peak;
        state.counters["retained_MB"] = retained;
        state.counters["peak_per_file"] = peak / fileMB;
        state.counters["retained_per_file"] = retained / fileMB;
    }
}

void ITunesFolderMemory(benchmark::State& state) {
    ITunesFolderPtr folder;
    measureMemory(
        state, [&] { folder = loadedFolder(); }, [&] { folder.reset(); });
}
BENCHMARK(ITunesFolderMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void SaxBaselineMemory(benchmark::State& state) {
    std::optional<SaxBaseline::ITunesLibrary> library;
    measureMemory(
        state, [&] { SaxBaseline::readITunes(catalogue(), library.emplace()); }, [&] { library.reset(); });
}
BENCHMARK(SaxBaselineMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void ITunesFolderLoad(benchmark::State& state) {
    catalogue();
    for (auto _ : state) {
        ITunesFolderPtr folder = loadedFolder();
        if (!folder || folder->files().size() != kTracks) {
            state.SkipWithError("iTunes library not loaded");
        }
        state.PauseTiming(); // releasing the library is not part of loading it
        folder.reset();
        state.ResumeTiming();
    }
    state.counters["file_MB"] = fileMegabytes();
}
BENCHMARK(ITunesFolderLoad)->Iterations(3)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void SaxBaselineLoad(benchmark::State& state) {
    catalogue();
    for (auto _ : state) {
        SaxBaseline::ITunesLibrary library;
        if (!SaxBaseline::readITunes(catalogue(), library) || library.tracks.size() != kTracks) {
            state.SkipWithError("baseline read failed");
        }
        state.PauseTiming();
        library = {};
        state.ResumeTiming();
    }
    state.counters["file_MB"] = fileMegabytes();
}
BENCHMARK(SaxBaselineLoad)->Iterations(3)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace
