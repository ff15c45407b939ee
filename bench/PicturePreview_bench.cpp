// The picture preview, from the key to the picture on screen: Enter on a
// selected picture of the pictures grid until the preview window has drawn
// it fitted (the window's picture drawn, not merely decoded), for
//  - a 24-megapixel JPEG, against the image readers decoding it whole, and
//  - a 12-megapixel HEIC, against heif-convert turning the same file into a
//    JPEG (the program a user would otherwise run), both in the same run.
// Each step shows the other of two copies of the picture, so every step reads
// its file afresh (the page cache is warm, as it is for a folder just browsed).
// quick_picture_ms is when the grid's own picture of the item was drawn,
// before the sharp one.

#include "BenchData.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/PhotoListController.h"
#include "browser/PicturePreview.h"
#include "browser/PreviewCanvas.h"
#include "browser/QVMBTreeController.h"
#include "iconview/IconView.h"
#include "iconview/ThumbnailLoader.h"
#include "prefs/UserPreferences.h"
#include "ui_MediaBrowser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

const QString kDirectory = QStringLiteral("/tmp/qvmb-bench/preview");

QString photo12mp() {
    return BenchData::cameraPictures(1) + QStringLiteral("/photo001.jpg");
}

// Two copies of a picture in a folder of their own; answers the folder.
QString folderOfTwo(const QString& name, const std::function<bool(const QString&)>& make) {
    const QString folder = kDirectory + QLatin1Char('/') + name;
    const QString first = folder + QStringLiteral("/a.") + QFileInfo(name).suffix();
    const QString second = folder + QStringLiteral("/b.") + QFileInfo(name).suffix();
    if (!QFile::exists(second)) {
        QDir().mkpath(folder);
        if (!make(first + QStringLiteral(".part")) ||
            !QFile::rename(first + QStringLiteral(".part"), first) || !QFile::copy(first, second)) {
            return {};
        }
    }
    return folder;
}

QString jpeg24mp() {
    return folderOfTwo(QStringLiteral("photo-24mp.jpg"), [](const QString& out) {
        // The camera picture enlarged to 6000 x 4000.
        const QImage photo =
            QImage(photo12mp()).scaled(6000, 4000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return photo.save(out, "JPEG", 92);
    });
}

QString heic12mp() {
    return folderOfTwo(QStringLiteral("photo-12mp.heic"), [](const QString& out) {
        QProcess encoder;
        encoder.start(QStringLiteral("heif-enc"),
                      {QStringLiteral("-q"), QStringLiteral("80"), QStringLiteral("-o"), out, photo12mp()});
        encoder.waitForFinished(-1);
        return encoder.exitCode() == 0;
    });
}

// CPU time of the whole process (every thread), in milliseconds: on a busy
// machine the wall time mostly measures the other programs.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Sleeps between events (a timer wakes it to look at the clock): a loop
// that polls would take one of the cores the preview decodes on.
bool waitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    QTimer tick;
    tick.start(5);
    while (!condition() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return condition();
}

void previewByEnter(benchmark::State& state, QString (*folderOf)()) {
    const QString folder = folderOf();
    if (folder.isEmpty()) {
        state.SkipWithError("the pictures could not be made");
        return;
    }
    UserPreferences::sharedPreferences()->setPicturePaths({folder});
    MediaBrowserWindow window;
    window.resize(360, 600);
    window.show();
    QVMBTreeController* tree = window.treeController(0);
    window.ui().picturesOutline->setCurrentIndex(tree->index(0, 0));
    if (!waitFor([&] { return window.photoList()->numItems() == 2; }, 10000)) {
        state.SkipWithError("the folder did not load");
        return;
    }
    // The grid's own thumbnails first: they are no part of the preview's time.
    QCoreApplication::processEvents();
    waitFor(
        [] {
            return ThumbnailLoader::instance()->queuedCount() == 0 &&
                   ThumbnailLoader::instance()->runningCount() == 0;
        },
        120000);
    PicturePreview* preview = window.preview();
    // The window a picture gets on a 1400 x 900 screen.
    preview->resize(980, 630);
    IconView* grid = window.photoView();
    grid->setFocus();
    bool drawn = false;
    QObject::connect(preview, &PicturePreview::pictureShown, [&drawn] { drawn = true; });
    // The grid's own picture, drawn at once while the sharp one is read.
    QElapsedTimer timer;
    double quickMs = 0;
    int quickShown = 0;
    QObject::connect(preview, &PicturePreview::quickPictureShown, [&] {
        quickMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        ++quickShown;
    });
    int item = 0;
    QSize shown;
    double cpuMs = 0;
    for (auto _ : state) {
        preview->close();
        grid->moveCursorTo(item);
        QCoreApplication::processEvents();
        drawn = false;
        const double cpuBefore = processCpuMs();
        timer.start();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(grid, &enter);
        if (!waitFor([&] { return drawn; }, 60000) || preview->canvas()->image().isNull()) {
            state.SkipWithError("the preview drew no picture");
            return;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        cpuMs += processCpuMs() - cpuBefore;
        shown = preview->canvas()->image().size();
        item = 1 - item;
    }
    state.counters["process_cpu_ms"] = cpuMs / static_cast<double>(state.iterations());
    state.counters["quick_picture_ms"] = quickShown > 0 ? quickMs / quickShown : -1;
    state.counters["quick_pictures"] = quickShown;
    state.counters["drawn_width"] = shown.width();
    state.counters["window_width"] = preview->canvas()->width();
}

void PreviewJpeg24mp(benchmark::State& state) {
    previewByEnter(state, &jpeg24mp);
}
BENCHMARK(PreviewJpeg24mp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(8);

void PreviewHeic12mp(benchmark::State& state) {
    previewByEnter(state, &heic12mp);
}
BENCHMARK(PreviewHeic12mp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

// Baseline: the image readers decoding the 24-megapixel JPEG whole.
void JpegDecodedWhole(benchmark::State& state) {
    const QString path = jpeg24mp() + QStringLiteral("/a.jpg");
    const double cpuBefore = processCpuMs();
    for (auto _ : state) {
        const QImage image = QImageReader(path).read();
        if (image.width() != 6000) {
            state.SkipWithError("the JPEG did not decode");
            return;
        }
    }
    state.counters["process_cpu_ms"] = (processCpuMs() - cpuBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(JpegDecodedWhole)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Baseline: heif-convert of the same HEIC to a JPEG.
void HeifConvert(benchmark::State& state) {
    const QString path = heic12mp() + QStringLiteral("/a.heic");
    const QString out = kDirectory + QStringLiteral("/converted.jpg");
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    for (auto _ : state) {
        QProcess program;
        program.start(QStringLiteral("heif-convert"), {path, out});
        program.waitForFinished(-1);
        if (program.exitCode() != 0 || !QFile::exists(out)) {
            state.SkipWithError("heif-convert failed");
            return;
        }
    }
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    const auto ms = [](const timeval& t) {
        return t.tv_sec * 1e3 + t.tv_usec / 1e3;
    };
    state.counters["process_cpu_ms"] =
        (ms(after.ru_utime) + ms(after.ru_stime) - ms(before.ru_utime) - ms(before.ru_stime)) /
        static_cast<double>(state.iterations());
}
BENCHMARK(HeifConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
