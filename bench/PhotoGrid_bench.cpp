#include "BenchData.h"
#include "CameraJpegs.h"
#include "ProcessMemory.h"
#include "SlowMount.h"
#include "browser/PhotoListController.h"
#include "iconview/IconView.h"
#include "iconview/ThumbnailDecoder.h"
#include "iconview/ThumbnailLoader.h"
#include "platform/media/ThumbnailCache.h"
#include "sources/local/LocalFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr int kPictures = 300;

// A private thumbnail cache for the benchmarks, emptied on demand: the
// machine's own cache is never read or written, and a cold run finds nothing.
QString benchCache(bool empty) {
    const QString cache = QStringLiteral("/tmp/qvmb-bench/xdg-cache");
    if (empty) {
        QDir(cache).removeRecursively();
    }
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    return cache;
}

// The Pictures tab's grid in a window 900 wide and 700 high (or as given).
struct PhotoWindow {
    explicit PhotoWindow(QSize size = QSize(900, 700)) {
        area.setFrameShape(QFrame::NoFrame);
        view = new IconView;
        view->setDataSource(&list);
        list.setIconView(view);
        area.setWidget(view);
        area.resize(size);
        area.show();
        // Wakes the waits up now and then, so that a deadline is noticed
        // when nothing else happens.
        wakeUp.start(1000);
        QCoreApplication::processEvents();
    }

    // Folders are read on a worker: the grid has nothing to show until the
    // folder's files are published on this thread. False when they are not
    // within the deadline (the run then fails instead of waiting forever).
    [[nodiscard]] bool waitForPublished(int count) {
        deadline.setRemainingTime(kWaitLimit);
        while (list.numItems() < count) {
            if (!waitForEvents()) {
                return false;
            }
        }
        QCoreApplication::processEvents();
        return true;
    }

    // The cells that meet the visible part of the grid.
    std::pair<int, int> visibleRange() {
        const NSRect visible = view->documentVisibleRect();
        return {std::max(0, view->firstIndexInRect(visible)), view->indexAfterRect(visible)};
    }
    // An empty range counts as not shown: a grid with nothing in view has
    // drawn nothing.
    bool visibleCellsShown() {
        const auto [first, after] = visibleRange();
        if (after <= first || after > list.numItems()) {
            return false;
        }
        for (int i = first; i < after; ++i) {
            const IconImagePtr image = list.imageForIndex(view, i);
            if (!image || image->pixels().isNull()) {
                return false;
            }
        }
        return true;
    }
    // Runs the event loop until every visible cell has its picture, then paints
    // once more; false when they are not drawn within the deadline.
    [[nodiscard]] bool waitForVisibleCells() {
        deadline.setRemainingTime(kWaitLimit);
        while (!visibleCellsShown()) {
            if (!waitForEvents()) {
                return false;
            }
        }
        QCoreApplication::processEvents();
        return true;
    }

    // Sleeps until events come (the overload with a time limit would spin and
    // take a core from the decoders); a timer ends the wait at the deadline.
    bool waitForEvents() {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return !deadline.hasExpired();
    }

    PhotoListController list;
    QScrollArea area;
    IconView* view = nullptr;
    static constexpr std::chrono::minutes kWaitLimit{3};
    QDeadlineTimer deadline;
    QTimer wakeUp;
};

qint64 threadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// This thread's time on a CPU and waiting for one, from the scheduler's own
// account (/proc/thread-self/schedstat): what is left of a stretch of wall
// time is time the thread slept, on a file, a lock or a timer.
struct SchedulerTimes {
    qint64 runningNs = 0;
    qint64 waitingForCpuNs = 0;

    static SchedulerTimes now() {
        SchedulerTimes times;
        if (FILE* file = std::fopen("/proc/thread-self/schedstat", "r")) {
            long long running = 0;
            long long waiting = 0;
            if (std::fscanf(file, "%lld %lld", &running, &waiting) == 2) {
                times = {running, waiting};
            }
            std::fclose(file);
        }
        return times;
    }
};

// The value below which the given fraction of the sorted values lie.
double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[at];
}

// The longest time the main thread went without running a 5 ms timer (on a
// loaded machine that includes time it was not scheduled), and the most CPU
// time the main thread used between two ticks (its own work).
class BlockMeter {
public:
    BlockMeter() {
        _timer.setTimerType(Qt::PreciseTimer);
        _timer.setInterval(5);
        QObject::connect(&_timer, &QTimer::timeout, [this]() { tick(); });
        _clock.start();
        _last = _clock.nsecsElapsed();
        _lastCpu = threadCpu();
        _timer.start();
    }
    void tick() {
        const qint64 now = _clock.nsecsElapsed();
        const qint64 cpu = threadCpu();
        _longest = std::max(_longest, now - _last);
        _busiest = std::max(_busiest, cpu - _lastCpu);
        _last = now;
        _lastCpu = cpu;
    }
    double longestMs() {
        tick();
        return _longest / 1e6;
    }
    double busiestMs() {
        tick();
        return _busiest / 1e6;
    }

private:
    static qint64 threadCpu() { return threadCpuNs(); }
    QTimer _timer;
    QElapsedTimer _clock;
    qint64 _last = 0;
    qint64 _lastCpu = 0;
    qint64 _longest = 0;
    qint64 _busiest = 0;
};

// From setFolder until every visible cell shows its picture, against decoding
// the same files at the same sizes one after another on this thread.
void BM_PhotoGridFirstScreen(benchmark::State& state) {
    const QString directory = BenchData::cameraPictures(kPictures);
    double baselineTotal = 0;
    double gridTotal = 0;
    double longestBlock = 0;
    double setFolderMs = 0;
    double busiestBlock = 0;
    double bareTotal = 0;
    int cells = 0;
    for (auto _ : state) {
        benchCache(true);
        PhotoWindow window;
        const LocalFolderPtr folder = LocalFolder::create(directory, LocalFolder::Pictures);
        BlockMeter meter;
        QElapsedTimer clock;
        clock.start();
        window.list.setFolder(folder);
        setFolderMs = std::max(setFolderMs, clock.nsecsElapsed() / 1e6);
        if (!window.waitForPublished(kPictures) || !window.waitForVisibleCells()) {
            state.SkipWithError("the folder was not shown");
            return;
        }
        const double gridMs = clock.nsecsElapsed() / 1e6;
        longestBlock = std::max(longestBlock, meter.longestMs());
        busiestBlock = std::max(busiestBlock, meter.busiestMs());

        const auto [first, after] = window.visibleRange();
        std::vector<std::pair<QString, QSize>> jobs;
        for (int i = first; i < after; ++i) {
            const IconImagePtr image = window.list.imageForIndex(window.view, i);
            jobs.emplace_back(image->path(), image->pixels().size());
        }
        const auto decode = [](const std::pair<QString, QSize>& job) {
            QImageReader reader(job.first);
            reader.setScaledSize(job.second);
            benchmark::DoNotOptimize(reader.read());
        };
        double baselineMs = 0;
        for (const auto& job : jobs) {
            QElapsedTimer timer;
            timer.start();
            decode(job);
            baselineMs += timer.nsecsElapsed() / 1e6;
        }
        // The machine's own parallel speed-up: the same decodes on two bare threads.
        QElapsedTimer bare;
        bare.start();
        QThreadPool pool;
        pool.setMaxThreadCount(2);
        for (const auto& job : jobs) {
            pool.start([&decode, job]() { decode(job); });
        }
        pool.waitForDone();
        bareTotal += bare.nsecsElapsed() / 1e6;
        state.SetIterationTime(gridMs / 1000);
        gridTotal += gridMs;
        baselineTotal += baselineMs;
        cells = after - first;
        if (cells <= 0) {
            state.SkipWithError("no cell was drawn");
            return;
        }
    }
    state.counters["cells"] = cells;
    state.counters["grid_ms"] = gridTotal / static_cast<double>(state.iterations());
    state.counters["one_thread_ms"] = baselineTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = gridTotal / baselineTotal;
    state.counters["bare_two_thread_ratio"] = bareTotal / baselineTotal;
    state.counters["longest_block_ms"] = longestBlock;
    state.counters["longest_busy_ms"] = busiestBlock;
    state.counters["set_folder_ms"] = setFolderMs;
}
BENCHMARK(BM_PhotoGridFirstScreen)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Scrolls through the whole folder, a screen at a time, waiting for each
// screen's pictures; then measures what the thumbnail cache holds.
void BM_PhotoGridScrollThrough(benchmark::State& state) {
    const QString directory = BenchData::cameraPictures(kPictures);
    for (auto _ : state) {
        benchCache(true);
        PhotoWindow window;
        BlockMeter meter;
        window.list.setFolder(LocalFolder::create(directory, LocalFolder::Pictures));
        if (!window.waitForPublished(kPictures) || !window.waitForVisibleCells()) {
            state.SkipWithError("the folder was not shown");
            return;
        }
        QScrollBar* bar = window.area.verticalScrollBar();
        if (bar->maximum() <= 0) {
            state.SkipWithError("nothing to scroll through");
            return;
        }
        while (bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + window.area.viewport()->height());
            if (!window.waitForVisibleCells()) {
                state.SkipWithError("a screen was not drawn");
                return;
            }
        }
        const qreal ratio = window.view->devicePixelRatioF();
        const double side = window.view->imageSize() * ratio;
        state.counters["longest_block_ms"] = meter.longestMs();
        state.counters["longest_busy_ms"] = meter.busiestMs();
        state.counters["cached"] = window.list.cacheCount();
        state.counters["bytes_per_picture"] =
            static_cast<double>(window.list.cacheBytes()) / std::max(1, window.list.cacheCount());
        state.counters["cell_pixels"] = side * side;
        state.counters["limit_bytes_per_picture"] = 4 * side * side;
    }
}
BENCHMARK(BM_PhotoGridScrollThrough)->Iterations(1)->Unit(benchmark::kMillisecond);

// A folder of 200,000 small real pictures flung through end to end, a screen
// per 16 ms frame, as fast as a scroll wheel spun hard: the main thread's own
// CPU time in each frame (scrolling, drawing, taking decoded pictures in), its
// 99th percentile against the 16 ms a frame has, and the longest the main
// thread was away from its event loop; then the memory the grid holds at the
// end against the thumbnail cache's bound. Arguments: the folder's size, the
// window's width and height, and the wait added to every open of a file (0:
// the local disk; otherwise the folder is served through a slow mount).
void BM_PhotoGridFlingThroughLargeFolder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const int openDelayMs = static_cast<int>(state.range(3));
    const QString local = BenchData::smallPictures(count);
    std::optional<SlowMount> mount;
    if (openDelayMs > 0) {
        mount.emplace(local, openDelayMs, QStringLiteral("open"));
    }
    const QString directory = mount ? mount->path() : local;
    constexpr qint64 kFrameNs = 16000000;
    for (auto _ : state) {
        benchCache(true);
        PhotoWindow window(QSize(static_cast<int>(state.range(1)), static_cast<int>(state.range(2))));
        window.list.setFolder(LocalFolder::create(directory, LocalFolder::Pictures));
        if (!window.waitForPublished(count) || !window.waitForVisibleCells()) {
            state.SkipWithError("the folder was not shown");
            return;
        }
        ProcessMemory::trimHeap();
        const double loadedMB = ProcessMemory::residentMegabytes();
        ProcessMemory::resetPeak();

        QScrollBar* bar = window.area.verticalScrollBar();
        const int step = window.area.viewport()->height();
        std::vector<double> work;
        std::vector<double> longestTurns;
        // The longest the main thread slept within a turn (a turn never waits
        // for events): what a file or lock held it, apart from the machine's
        // load keeping it from a CPU.
        double longestAsleepMs = 0;
        const auto asleepMs = [](qint64 wallNs, const SchedulerTimes& before) {
            const SchedulerTimes after = SchedulerTimes::now();
            return (wallNs - (after.runningNs - before.runningNs) -
                    (after.waitingForCpuNs - before.waitingForCpuNs)) /
                   1e6;
        };
        while (bar->value() < bar->maximum()) {
            QElapsedTimer frame;
            frame.start();
            const qint64 cpu = threadCpuNs();
            const SchedulerTimes scrollStart = SchedulerTimes::now();
            bar->setValue(bar->value() + step);
            double longest = frame.nsecsElapsed() / 1e6;
            longestAsleepMs = std::max(longestAsleepMs, asleepMs(frame.nsecsElapsed(), scrollStart));
            do {
                QElapsedTimer turn;
                turn.start();
                const SchedulerTimes turnStart = SchedulerTimes::now();
                QCoreApplication::processEvents();
                longest = std::max(longest, turn.nsecsElapsed() / 1e6);
                longestAsleepMs = std::max(longestAsleepMs, asleepMs(turn.nsecsElapsed(), turnStart));
                if (frame.nsecsElapsed() < kFrameNs) {
                    QThread::usleep(500); // the rest of the frame is the decoders'
                }
            } while (frame.nsecsElapsed() < kFrameNs);
            work.push_back((threadCpuNs() - cpu) / 1e6);
            longestTurns.push_back(longest);
        }
        if (!window.waitForVisibleCells()) {
            state.SkipWithError("the last screen was not drawn");
            return;
        }
        const double peakMB = ProcessMemory::peakMegabytes();
        ProcessMemory::trimHeap();
        const double afterMB = ProcessMemory::residentMegabytes();

        const double side = window.view->imageSize() * window.view->devicePixelRatioF();
        state.counters["frames"] = static_cast<double>(work.size());
        state.counters["work_p50_ms"] = percentile(work, 0.5);
        state.counters["work_p99_ms"] = percentile(work, 0.99);
        state.counters["work_max_ms"] = percentile(work, 1.0);
        state.counters["turn_p99_ms"] = percentile(longestTurns, 0.99);
        state.counters["turn_max_ms"] = percentile(longestTurns, 1.0);
        state.counters["asleep_max_ms"] = longestAsleepMs;
        state.counters["cached"] = window.list.cacheCount();
        state.counters["cache_MB"] = static_cast<double>(window.list.cacheBytes()) / (1024.0 * 1024.0);
        // The kept pictures at 4 bytes a pixel of the cell's square.
        state.counters["cache_bound_MB"] =
            static_cast<double>(window.list.cacheBoundBytes()) / (1024.0 * 1024.0);
        (void)side;
        state.counters["peak_growth_MB"] = peakMB - loadedMB;
        state.counters["after_growth_MB"] = afterMB - loadedMB;
        state.counters["loaded_MB"] = loadedMB;
        state.counters["peak_MB"] = peakMB;
    }
}
BENCHMARK(BM_PhotoGridFlingThroughLargeFolder)
    ->Args({200000, 900, 700, 0})
    ->Args({200000, 1400, 900, 0})
    ->Args({200000, 900, 700, 20})
    ->Args({200000, 1400, 900, 20})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The folder listed with each entry's attributes, as `ls -l` does: what the
// mount allows before anything can be sorted and shown.
double bareListingMs(const QString& directory) {
    QElapsedTimer clock;
    clock.start();
    DIR* listing = opendir(QFile::encodeName(directory).constData());
    int entries = 0;
    while (const dirent* entry = listing != nullptr ? readdir(listing) : nullptr) {
        struct stat st {};
        entries += fstatat(dirfd(listing), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? 1 : 0;
    }
    if (listing != nullptr) {
        closedir(listing);
    }
    return entries > 0 ? clock.nsecsElapsed() / 1e6 : -1.0;
}

// A folder of 10,000 small pictures on a mount that waits 20 ms before every
// request (each open, folder read and attribute fetch the kernel does not
// have cached, as a far network share): from setFolder until every visible
// cell shows its picture, and the longest the main thread was away from its
// event loop meanwhile; beside a bare listing of the same folder.
void BM_SlowMountFirstScreen(benchmark::State& state) {
    constexpr int kCount = 10000;
    const QString local = BenchData::smallPictures(kCount);
    const QString kinds = QStringLiteral("open,opendir,readdir,getattr");
    for (auto _ : state) {
        benchCache(true);
        // A fresh mount for each: nothing is in the kernel's caches.
        double listingMs = 0;
        {
            SlowMount mount(local, 20, kinds);
            listingMs = bareListingMs(mount.path());
        }
        if (listingMs < 0) {
            state.SkipWithError("the mount could not be listed");
            return;
        }
        SlowMount mount(local, 20, kinds);
        PhotoWindow window(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
        BlockMeter meter;
        QElapsedTimer clock;
        clock.start();
        window.list.setFolder(LocalFolder::create(mount.path(), LocalFolder::Pictures));
        const bool published = window.waitForPublished(kCount);
        const double publishedMs = clock.nsecsElapsed() / 1e6;
        if (!published || !window.waitForVisibleCells()) {
            state.SkipWithError("the folder was not shown");
            return;
        }
        const double firstScreenMs = clock.nsecsElapsed() / 1e6;
        const auto [first, after] = window.visibleRange();
        state.SetIterationTime(firstScreenMs / 1000);
        state.counters["cells"] = after - first;
        state.counters["listed_ms"] = publishedMs;
        state.counters["bare_listing_ms"] = listingMs;
        state.counters["first_screen_ms"] = firstScreenMs;
        state.counters["longest_block_ms"] = meter.longestMs();
        state.counters["longest_busy_ms"] = meter.busiestMs();
    }
}
BENCHMARK(BM_SlowMountFirstScreen)
    ->Args({900, 700})
    ->Args({1400, 900})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

constexpr int kCameraPictures = 200;

// What decoding alone allows: each visible picture decoded by libjpeg-turbo
// at 1/8 scale (as tjbench -scale 1/8 does) on this thread, the sum shared
// by the machine's two cores.
double decodingLimitMs(const QStringList& paths) {
    double total = 0;
    for (const QString& path : paths) {
        QElapsedTimer timer;
        timer.start();
        QImageReader reader(path);
        const QSize size = reader.size();
        reader.setScaledSize(QSize((size.width() + 7) / 8, (size.height() + 7) / 8));
        benchmark::DoNotOptimize(reader.read());
        total += timer.nsecsElapsed() / 1e6;
    }
    return total / 2;
}

// From setFolder until every visible cell shows its picture, on a folder of
// 200 camera JPEGs with EXIF thumbnails and Multi-Picture previews: cold
// (nothing in the thumbnail cache) against the decoding limit, then warm (a
// new window and folder, as after a restart, with the entries the cold run
// wrote). Arguments: the window's width and height.
//
// What a process pays once, the first time it opens a folder and draws a
// picture (the image readers' plugins loaded, the loaders' threads started),
// is paid first on a folder of one other picture and reported apart
// (first_folder_ms): the cold figure is about the thumbnails nothing cached.
void BM_CameraFolderFirstScreen(benchmark::State& state) {
    const QString directory = cameraJpegs(kCameraPictures);
    const int count =
        static_cast<int>(QDir(directory).entryList({QStringLiteral("*.jpg")}, QDir::Files).size());
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    static double firstFolderMs = -1;
    if (firstFolderMs < 0) {
        benchCache(true);
        // Made (on the first run) before the clock starts.
        const QString one = BenchData::cameraPictures(1);
        PhotoWindow window(size);
        QElapsedTimer clock;
        clock.start();
        window.list.setFolder(LocalFolder::create(one, LocalFolder::Pictures));
        if (!window.waitForPublished(1) || !window.waitForVisibleCells()) {
            state.SkipWithError("the first folder drew no cell");
            return;
        }
        firstFolderMs = clock.nsecsElapsed() / 1e6;
    }
    for (auto _ : state) {
        benchCache(true);
        // Answers the time to the first screen; listedMs is when the folder's
        // files were published (the rest is the cells' pictures).
        const auto firstScreen = [&](QStringList* shown, double* listedMs) {
            PhotoWindow window(size);
            QElapsedTimer clock;
            clock.start();
            window.list.setFolder(LocalFolder::create(directory, LocalFolder::Pictures));
            if (!window.waitForPublished(count)) {
                return -1.0;
            }
            *listedMs = clock.nsecsElapsed() / 1e6;
            if (!window.waitForVisibleCells()) {
                return -1.0;
            }
            const double ms = clock.nsecsElapsed() / 1e6;
            const auto [first, after] = window.visibleRange();
            for (int i = first; i < after && shown != nullptr; ++i) {
                shown->append(window.list.imageForIndex(window.view, i)->path());
            }
            // The cache's entries are written once the screen is drawn.
            ThumbnailLoader* loader = ThumbnailLoader::instance();
            while (loader->pendingWrites() > 0 || loader->runningCount() > 0) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            return ms;
        };
        QStringList shown;
        double coldListedMs = 0;
        double warmListedMs = 0;
        const double coldMs = firstScreen(&shown, &coldListedMs);
        if (coldMs < 0 || shown.isEmpty()) {
            state.SkipWithError("no cell was drawn");
            return;
        }
        const double warmMs = firstScreen(nullptr, &warmListedMs);
        if (warmMs < 0) {
            state.SkipWithError("no cell was drawn after the restart");
            return;
        }
        const double limitMs = decodingLimitMs(shown);
        state.SetIterationTime(coldMs / 1000);
        state.counters["cells"] = static_cast<double>(shown.size());
        state.counters["cold_ms"] = coldMs;
        state.counters["decoding_limit_ms"] = limitMs;
        state.counters["cold_ratio"] = coldMs / limitMs;
        state.counters["warm_ms"] = warmMs;
        state.counters["cold_listed_ms"] = coldListedMs;
        state.counters["warm_listed_ms"] = warmListedMs;
        state.counters["first_folder_ms"] = firstFolderMs;
    }
}
BENCHMARK(BM_CameraFolderFirstScreen)
    ->Args({900, 700})
    ->Args({1400, 900})
    // Three columns always: a tall, narrow window shows 14 rows, 42 cells.
    ->Args({400, 1900})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Thumbnails per second for the 200 camera JPEGs at 256 pixels, written to
// the (empty) shared cache, on two threads: against the desktop's own
// thumbnailer run once per file as the desktop runs it (a sample of 20).
void BM_CameraThumbnailsPerSecond(benchmark::State& state) {
    const QString directory = cameraJpegs(kCameraPictures);
    QStringList paths;
    for (const QString& name :
         QDir(directory).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name)) {
        paths << directory + QLatin1Char('/') + name;
    }
    for (auto _ : state) {
        benchCache(true);
        std::atomic<int> made{0};
        QElapsedTimer clock;
        clock.start();
        QThreadPool pool;
        pool.setMaxThreadCount(2);
        for (const QString& path : std::as_const(paths)) {
            pool.start([&made, path]() {
                const ThumbnailDecoder::Thumbnail thumbnail = ThumbnailDecoder::make(path, QSize(256, 256));
                made += thumbnail.image.isNull() ? 0 : 1;
                ThumbnailDecoder::storeInCache(thumbnail);
            });
        }
        pool.waitForDone();
        const double oursPerSecond = made / (clock.nsecsElapsed() / 1e9);
        if (made != paths.size()) {
            state.SkipWithError("a thumbnail was not made");
            return;
        }
        const int sample = std::min<int>(20, static_cast<int>(paths.size()));
        QElapsedTimer desktop;
        desktop.start();
        for (int i = 0; i < sample; ++i) {
            QProcess thumbnailer;
            thumbnailer.start(QStringLiteral("gdk-pixbuf-thumbnailer"),
                              {QStringLiteral("-s"), QStringLiteral("256"), paths[i],
                               QStringLiteral("/tmp/qvmb-bench/gdk-thumbnail.png")});
            thumbnailer.waitForFinished(-1);
            if (thumbnailer.exitCode() != 0) {
                state.SkipWithError("gdk-pixbuf-thumbnailer failed");
                return;
            }
        }
        const double desktopPerSecond = sample / (desktop.nsecsElapsed() / 1e9);
        state.counters["ours_per_s"] = oursPerSecond;
        state.counters["desktop_per_s"] = desktopPerSecond;
        state.counters["ratio"] = oursPerSecond / desktopPerSecond;
    }
}
BENCHMARK(BM_CameraThumbnailsPerSecond)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
