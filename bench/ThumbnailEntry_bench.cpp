// One x-large (512-pixel) entry of the shared thumbnail cache, made from a
// camera JPEG of the benchmark data, as three writers write it: ours (filter
// Up, libdeflate), Qt's PNG writer as this program used it before (libpng's
// adaptive filters, mostly Paeth on photographs) and the desktop's own
// gdk-pixbuf-thumbnailer. Each is read by the cache's fast reader and by Qt's
// PNG reader; then each writer's time for the same picture. Counters give the
// entries' sizes. The run fails when a reader decodes nothing.

#include "CameraJpegs.h"
#include "platform/media/ThumbnailPngReader.h"
#include "platform/media/ThumbnailPngWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

enum Writer { Ours, QtAdaptive, Desktop };

QString firstCameraJpeg() {
    const QString directory = cameraJpegs(200);
    const QStringList names = QDir(directory).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    return names.isEmpty() ? QString() : directory + QLatin1Char('/') + names.first();
}

// The picture scaled to the x-large class, as the grid makes it for the cache.
const QImage& thumbnail() {
    static const QImage image = [] {
        QImageReader reader(firstCameraJpeg());
        reader.setScaledSize(reader.size().scaled(512, 512, Qt::KeepAspectRatio));
        return reader.read();
    }();
    return image;
}

const ThumbnailPngWriter::Texts kTexts{{"Thumb::URI", "file:///tmp/qvmb-bench/camera-24mp-200/0000.jpg"},
                                       {"Thumb::MTime", "1700000000"},
                                       {"Software", "QVMediaBrowser"}};

QByteArray writtenByQt(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(80); // as the cache was written before
    writer.write(image);
    return bytes;
}

const QByteArray& entry(Writer writer) {
    static const QByteArray entries[] = {
        ThumbnailPngWriter::write(thumbnail(), kTexts),
        writtenByQt(thumbnail()),
        [] {
            const QString out = QStringLiteral("/tmp/qvmb-bench/gdk-thumbnail-512.png");
            QProcess::execute(QStringLiteral("gdk-pixbuf-thumbnailer"),
                              {QStringLiteral("-s"), QStringLiteral("512"), firstCameraJpeg(), out});
            QFile file(out);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }(),
    };
    return entries[writer];
}

void BM_ReadEntryFast(benchmark::State& state) {
    const QByteArray& png = entry(static_cast<Writer>(state.range(0)));
    for (auto _ : state) {
        const ThumbnailPngReader::Result result = ThumbnailPngReader::read(png, 512);
        if (result.outcome != ThumbnailPngReader::Outcome::Decoded || result.image.isNull()) {
            state.SkipWithError("the fast reader decoded nothing");
            return;
        }
        benchmark::DoNotOptimize(result.image.constBits());
    }
    state.counters["entry_KB"] = png.size() / 1024.0;
}

void BM_ReadEntryQt(benchmark::State& state) {
    const QByteArray& png = entry(static_cast<Writer>(state.range(0)));
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(png);
        buffer.open(QIODevice::ReadOnly);
        const QImage image = QImageReader(&buffer, "png").read();
        if (image.isNull()) {
            state.SkipWithError("Qt's reader decoded nothing");
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["entry_KB"] = png.size() / 1024.0;
}

// Argument: the writer (0 ours, 1 Qt's adaptive, 2 gdk-pixbuf-thumbnailer).
BENCHMARK(BM_ReadEntryFast)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEntryQt)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_WriteEntryOurs(benchmark::State& state) {
    qsizetype bytes = 0;
    for (auto _ : state) {
        bytes = ThumbnailPngWriter::write(thumbnail(), kTexts).size();
    }
    if (bytes == 0) {
        state.SkipWithError("nothing was written");
    }
    state.counters["entry_KB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_WriteEntryOurs)->Unit(benchmark::kMillisecond);

void BM_WriteEntryQt(benchmark::State& state) {
    qsizetype bytes = 0;
    for (auto _ : state) {
        bytes = writtenByQt(thumbnail()).size();
    }
    if (bytes == 0) {
        state.SkipWithError("nothing was written");
    }
    state.counters["entry_KB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_WriteEntryQt)->Unit(benchmark::kMillisecond);

} // namespace
