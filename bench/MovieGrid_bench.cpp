// First display of a folder of thirty 720p movies in the grid: from setting
// the folder to the posters of every visible cell shown, against the
// ffmpegthumbnailer library making 150-pixel thumbnails of the same files
// (the visible ones) in-process.

#include "BenchData.h"
#include "browser/MovieListController.h"
#include "iconview/IconView.h"
#include "iconview/ThumbnailLoader.h"
#include "model/QVMovie.h"
#include "platform/system/Path.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollArea>

#include <benchmark/benchmark.h>

#ifdef QVMB_HAVE_FFMPEGTHUMBNAILER
#include <libffmpegthumbnailer/videothumbnailer.h>
#endif

namespace {

constexpr int kMovies = 30;

struct Grid {
    Grid() {
        area.setFrameShape(QFrame::NoFrame);
        view = new IconView;
        view->setDataSource(&list);
        area.setWidget(view);
        area.resize(640, 480);
        list.setIconView(view);
        list.awakeFromNib();
        view->awakeFromNib();
        area.show();
        folder = std::make_shared<MediaFolder>();
        for (const QString& path : BenchData::hdMovies(kMovies)) {
            folder->addFile(QVMovie::movieFromFile(path));
        }
        QApplication::processEvents();
    }
    int visibleCount() const {
        const NSRect visible = view->documentVisibleRect();
        return std::min(list.numItems(), view->indexAfterRect(visible)) -
               std::max(0, view->firstIndexInRect(visible));
    }
    // An empty range counts as not shown: nothing in view has been drawn.
    bool visiblePostersShown() {
        const NSRect visible = view->documentVisibleRect();
        const int after = std::min(list.numItems(), view->indexAfterRect(visible));
        if (after <= std::max(0, view->firstIndexInRect(visible))) {
            return false;
        }
        for (int i = std::max(0, view->firstIndexInRect(visible)); i < after; ++i) {
            if (list.imageForIndex(view, i)->pixels().isNull()) {
                return false;
            }
        }
        return true;
    }

    MovieListController list;
    QScrollArea area;
    IconView* view = nullptr;
    MediaFolderPtr folder;
};

void FirstDisplay(benchmark::State& state) {
    Grid grid;
    int cells = 0;
    // Posters go through the desktop's thumbnail cache: a private one, empty
    // for every run, so that each run makes its posters.
    const QString cache = QStringLiteral("/tmp/qvmb-bench/xdg-cache-movies");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    for (auto _ : state) {
        state.PauseTiming();
        QDir(cache).removeRecursively();
        state.ResumeTiming();
        // A new list: no thumbnail is cached.
        grid.list.setFolder(nullptr);
        grid.list.setFolder(grid.folder);
        do {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 2);
        } while (!grid.visiblePostersShown());
        // Let the last repaint happen: the posters are then on screen.
        QApplication::processEvents();
        cells = grid.visibleCount();
        if (cells <= 0) {
            state.SkipWithError("no cell was drawn");
            return;
        }
    }
    state.counters["cells"] = cells;
    state.counters["threads"] = ThumbnailLoader::instance()->maxThreadCount();
}
BENCHMARK(FirstDisplay)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef QVMB_HAVE_FFMPEGTHUMBNAILER
// The same visible files, one after another, as a grid using the library would make them.
void FfmpegthumbnailerVisible(benchmark::State& state) {
    std::vector<std::string> paths;
    {
        Grid grid;
        grid.list.setFolder(grid.folder);
        const int cells = grid.visibleCount();
        for (int i = 0; i < cells; ++i) {
            paths.push_back(Path::toNative(Path::localPath(grid.folder->files()[i]->url())).toStdString());
        }
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
    state.counters["cells"] = static_cast<double>(paths.size());
}
BENCHMARK(FfmpegthumbnailerVisible)
    ->ArgName("seekPercent")
    ->Arg(0)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
#endif

} // namespace
