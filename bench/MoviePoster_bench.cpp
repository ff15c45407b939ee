// Posters of ten 720p H.264 movies fitted into 150 pixels, against the
// ffmpegthumbnailer library in-process on the same files.

#include "BenchData.h"
#include "platform/media/MoviePoster.h"
#include "platform/system/Path.h"

#include <benchmark/benchmark.h>

#ifdef QVMB_HAVE_FFMPEGTHUMBNAILER
#include <libffmpegthumbnailer/videothumbnailer.h>
#endif

namespace {

constexpr int kMovies = 10;

void PosterImages(benchmark::State& state) {
    const QStringList movies = BenchData::hdMovies(kMovies);
    for (auto _ : state) {
        for (const QString& movie : movies) {
            const QImage poster = MoviePoster::posterImage(movie, QSize(150, 150));
            if (poster.width() != 150) {
                state.SkipWithError("no poster");
            }
            benchmark::DoNotOptimize(poster.constBits());
        }
    }
}
BENCHMARK(PosterImages)->Unit(benchmark::kMillisecond);

#ifdef QVMB_HAVE_FFMPEGTHUMBNAILER
// seekPercentage 0 takes the first frame, as PosterImages does; the library's
// default (10 %) seeks into the movie first. Raw RGB output: no image encoding.
void Ffmpegthumbnailer(benchmark::State& state) {
    const QStringList movies = BenchData::hdMovies(kMovies);
    std::vector<std::string> paths;
    for (const QString& movie : movies) {
        paths.push_back(Path::toNative(movie).toStdString());
    }
    ffmpegthumbnailer::VideoThumbnailer thumbnailer;
    thumbnailer.setThumbnailSize(150);
    thumbnailer.setSeekPercentage(static_cast<int>(state.range(0)));
    std::vector<uint8_t> buffer;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            buffer.clear();
            thumbnailer.generateThumbnail(path, ThumbnailerImageType::Rgb, buffer);
            benchmark::DoNotOptimize(buffer.data());
        }
    }
}
BENCHMARK(Ffmpegthumbnailer)->ArgName("seekPercent")->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);
#endif

} // namespace
