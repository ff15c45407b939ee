// Thumbnails of phones' and cameras' pictures at 256 pixels:
// - a 12-megapixel HEIC through the grid's decoder, against libheif used the
//   way heif-thumbnailer uses it (in-process: decode, scale, no PNG), and the
//   heif-thumbnailer program itself (its run time, and the run time on a tiny
//   HEIC that stands for its start-up);
// - a RAW (DNG) file with an embedded 12-megapixel JPEG preview and 24 MB of
//   raw data, against decoding that JPEG alone at the same scale.

#include "BenchData.h"
#include "iconview/ThumbnailDecoder.h"
#include "platform/system/Path.h"
#include "support/CameraFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>

#include <benchmark/benchmark.h>
#include <libheif/heif.h>
#include <sys/resource.h>

namespace {

const QString kDirectory = QStringLiteral("/tmp/qvmb-bench/camera");
const QSize kBox(256, 192);

QString photo() {
    return BenchData::cameraPictures(1) + QStringLiteral("/photo001.jpg");
}

bool encodeHeic(const QString& input, const QString& output) {
    if (QFile::exists(output)) {
        return true;
    }
    QDir().mkpath(kDirectory);
    QProcess encoder;
    encoder.start(QStringLiteral("heif-enc"),
                  {QStringLiteral("-q"), QStringLiteral("80"), QStringLiteral("-o"),
                   output + QStringLiteral(".part"), input});
    encoder.waitForFinished(-1);
    return encoder.exitCode() == 0 && QFile::rename(output + QStringLiteral(".part"), output);
}

QString heic12mp() {
    const QString path = kDirectory + QStringLiteral("/photo-12mp.heic");
    return encodeHeic(photo(), path) ? path : QString();
}

QString tinyHeic() {
    const QString input = kDirectory + QStringLiteral("/tiny.jpg");
    QDir().mkpath(kDirectory);
    QImage tiny(64, 48, QImage::Format_RGB32);
    tiny.fill(Qt::gray);
    tiny.save(input, "JPEG");
    const QString path = kDirectory + QStringLiteral("/tiny.heic");
    return encodeHeic(input, path) ? path : QString();
}

// CPU time of the whole process (libheif decodes on threads of its own), in
// milliseconds: on a busy machine the wall time mostly measures the others.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void countProcessCpu(benchmark::State& state, double before) {
    state.counters["process_cpu_ms"] = (processCpuMs() - before) / static_cast<double>(state.iterations());
}

QByteArray previewJpeg() {
    QFile file(photo());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString dng12mp() {
    const QString path = kDirectory + QStringLiteral("/camera-12mp.dng");
    if (!QFile::exists(path)) {
        CameraFixtures::DngOptions options;
        options.previewJpeg = previewJpeg();
        options.rawSize = QSize(4000, 3000);
        QDir().mkpath(kDirectory);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.write(CameraFixtures::dng(options))) {
            return {};
        }
    }
    return path;
}

void HeicThumbnail(benchmark::State& state) {
    const QString path = heic12mp();
    const QSize size = ThumbnailDecoder::uprightSize(path);
    const double cpuBefore = processCpuMs();
    for (auto _ : state) {
        const QImage image = ThumbnailDecoder::decode(path, kBox, size);
        if (image.size() != kBox) {
            state.SkipWithError("no thumbnail");
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    countProcessCpu(state, cpuBefore);
}
BENCHMARK(HeicThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

// What heif-thumbnailer does before it writes its PNG: the primary image (it
// would take a stored thumbnail first; the file has none) decoded to RGB and
// scaled by libheif to 256 pixels.
void LibheifAsHeifThumbnailer(benchmark::State& state) {
    const QByteArray path = Path::toNative(heic12mp());
    heif_init(nullptr);
    const double cpuBefore = processCpuMs();
    for (auto _ : state) {
        heif_context* context = heif_context_alloc();
        heif_image_handle* handle = nullptr;
        heif_image* image = nullptr;
        heif_image* scaled = nullptr;
        heif_context_read_from_file(context, path.constData(), nullptr);
        heif_context_get_primary_image_handle(context, &handle);
        heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
        heif_image_scale_image(image, &scaled, kBox.width(), kBox.height(), nullptr);
        if (scaled == nullptr) {
            state.SkipWithError("libheif failed");
            break;
        }
        benchmark::DoNotOptimize(scaled);
        heif_image_release(scaled);
        heif_image_release(image);
        heif_image_handle_release(handle);
        heif_context_free(context);
    }
    countProcessCpu(state, cpuBefore);
}
BENCHMARK(LibheifAsHeifThumbnailer)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's whole run (start-up, decode, scale, PNG), timed by the wall clock.
void HeifThumbnailerProgram(benchmark::State& state, QString (*input)()) {
    const QString path = input();
    const QString output = kDirectory + QStringLiteral("/out.png");
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QProcess program;
        program.start(QStringLiteral("heif-thumbnailer"),
                      {QStringLiteral("-s"), QStringLiteral("256"), path, output});
        program.waitForFinished(-1);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (program.exitCode() != 0) {
            state.SkipWithError("heif-thumbnailer failed");
        }
    }
}
BENCHMARK_CAPTURE(HeifThumbnailerProgram, photo12mp, heic12mp)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(HeifThumbnailerProgram, tinyStartUp, tinyHeic)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

void RawThumbnail(benchmark::State& state) {
    const QString path = dng12mp();
    const QSize size = ThumbnailDecoder::uprightSize(path);
    for (auto _ : state) {
        const QImage image = ThumbnailDecoder::decode(path, kBox, size);
        if (image.size() != kBox) {
            state.SkipWithError("no thumbnail");
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(RawThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same JPEG, read from its own file and decoded scaled to the same box.
void PreviewJpegAlone(benchmark::State& state) {
    const QString path = photo();
    for (auto _ : state) {
        QImageReader reader(path);
        reader.setScaledSize(kBox);
        const QImage image = reader.read();
        if (image.size() != kBox) {
            state.SkipWithError("no picture");
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(PreviewJpegAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
