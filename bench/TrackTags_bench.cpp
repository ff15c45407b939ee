// Title, artist and length of 2,000 MP3 files through QVTrack, against a bare
// TagLib loop over the same files.

#include "BenchData.h"
#include "model/QVTrack.h"
#include "platform/system/Path.h"

#include <benchmark/benchmark.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

namespace {

constexpr int kTracks = 2000;

void BareTagLib(benchmark::State& state) {
    std::vector<QByteArray> paths;
    for (const QString& path : BenchData::mp3Files(kTracks)) {
        paths.push_back(Path::toNative(path));
    }
    for (auto _ : state) {
        unsigned total = 0;
        for (const QByteArray& path : paths) {
            TagLib::MPEG::File file(path.constData(), true, TagLib::AudioProperties::Fast);
            const TagLib::String title = file.tag()->title();
            const TagLib::String artist = file.tag()->artist();
            total += title.size() + artist.size() + file.audioProperties()->lengthInSeconds();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BareTagLib)->Unit(benchmark::kMillisecond);

void TracksFromFiles(benchmark::State& state) {
    const QStringList paths = BenchData::mp3Files(kTracks);
    for (auto _ : state) {
        unsigned total = 0;
        for (const QString& path : paths) {
            const QVTrackPtr track = QVTrack::trackFromFile(path);
            total += track->name().size() + track->artist().size() + track->length();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(TracksFromFiles)->Unit(benchmark::kMillisecond);

} // namespace
