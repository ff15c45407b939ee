#include "bench/CatalogueGenerator.h"
#include "bench/SaxBaseline.h"
#include "platform/PlistReader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fstream>
#include <malloc.h>
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

BENCHMARK(BM_ITunesSaxBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ITunesPlistStream)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_IPhotoSaxBaseline)->Unit(benchmark::kMillisecond)->Iterations(5);
