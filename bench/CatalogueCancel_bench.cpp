// How soon a catalogue load that nobody wants any more stops. Each kind of
// catalogue at a million items (generated once into /tmp/qvmb-bench) is read
// on a thread as the loaders read it, and given up at several points of its
// load (early on, then at a quarter, half, three quarters and 95 % of it told
// as read): the time from the cancel to the reader
// returning (wall clock, and processor time the reader's thread used
// meanwhile), and to everything it had read being let go (on the releasing
// thread). The machine is shared, so the whole load's time varies; the
// cancel times are what matters.
//
//   catalogue_bench --benchmark_filter=Cancel

#include "bench/CatalogueGenerator.h"
#include "bench/LibraryGenerator.h"
#include "platform/system/BackgroundRelease.h"
#include "platform/system/LoadProgress.h"
#include "sources/catalogues/DigikamReader.h"
#include "sources/catalogues/IPhotoReader.h"
#include "sources/catalogues/ITunesReader.h"
#include "sources/catalogues/RhythmboxReader.h"
#include "sources/catalogues/ShotwellReader.h"
#include "sources/catalogues/StrawberryReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <pthread.h>
#include <thread>
#include <time.h>

namespace {

constexpr int kItems = 1000000;

using Clock = std::chrono::steady_clock;
using Reader = std::function<CatalogueContents(LoadProgress&)>;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Milliseconds of processor time a thread has used: on a shared machine a
// thread may wait long for a processor, and this is the work it did.
double cpuMilliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A load the bench gives up from another thread, as the window does.
class CancellableLoad : public LoadProgress {
public:
    void setFraction(double fraction) override { _fraction.store(fraction, std::memory_order_relaxed); }
    bool isCancelled() const override { return _cancelled.load(std::memory_order_relaxed); }
    void cancel() { _cancelled.store(true); }
    double fraction() const { return _fraction.load(std::memory_order_relaxed); }

private:
    std::atomic<double> _fraction{0.0};
    std::atomic<bool> _cancelled{false};
};

// A file under /tmp/qvmb-bench, written by write the first time (aside, then
// renamed, so that an interrupted run leaves no half library).
QString generated(const QString& name, const std::function<void(const QString& path)>& write) {
    const QString path = QStringLiteral("/tmp/qvmb-bench/") + name;
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).path());
        const QString part = path + QStringLiteral(".part");
        write(part);
        QFile::rename(part, path);
    }
    return path;
}

Reader iTunes() {
    const QString path = generated(QStringLiteral("itunes-%1.xml").arg(kItems), [](const QString& part) {
        CatalogueGenerator::writeITunesLibrary(part, kItems);
    });
    return [path](LoadProgress& progress) {
        return ITunesReader(path, true, false).read(progress);
    };
}

Reader iPhoto() {
    const QString path =
        generated(QStringLiteral("iphoto-%1/AlbumData.xml").arg(kItems),
                  [](const QString& part) { CatalogueGenerator::writeIPhotoLibrary(part, kItems); });
    return [path](LoadProgress& progress) {
        return IPhotoReader(path).read(progress);
    };
}

Reader shotwell() {
    const QString path = generated(QStringLiteral("shotwell-%1.db").arg(kItems), [](const QString& part) {
        LibraryGenerator::writeShotwell(part, kItems, kItems / 50, 500);
    });
    return [path](LoadProgress& progress) {
        return ShotwellReader(path, {}, ShotwellReader::Media::Photos).read(progress);
    };
}

Reader digikam() {
    const QString path = generated(QStringLiteral("digikam-%1.db").arg(kItems), [](const QString& part) {
        LibraryGenerator::writeDigikam(part, QStringLiteral("/home/user/Pictures"), kItems);
    });
    return [path](LoadProgress& progress) {
        return DigikamReader(path, DigikamReader::Media::Pictures).read(progress);
    };
}

Reader strawberry() {
    const QString path = generated(QStringLiteral("strawberry-%1.db").arg(kItems), [](const QString& part) {
        LibraryGenerator::writeStrawberry(part, kItems);
    });
    return [path](LoadProgress& progress) {
        return StrawberryReader(path, StrawberryReader::Media::Music).read(progress);
    };
}

Reader rhythmbox() {
    const QString path = generated(QStringLiteral("rhythmdb-%1.xml").arg(kItems), [](const QString& part) {
        LibraryGenerator::writeRhythmbox(part, kItems);
    });
    return [path](LoadProgress& progress) {
        return RhythmboxReader(path, {}).read(progress);
    };
}

void CancelLoad(benchmark::State& state, Reader (*make)()) {
    const Reader read = make();
    for (auto _ : state) {
        // A whole load first: how long one takes, and that it reads the library.
        Clock::time_point start = Clock::now();
        {
            CancellableLoad whole;
            const CatalogueContents contents = read(whole);
            if (contents.failed || contents.items.size() < kItems / 2) {
                state.SkipWithError("the library was not read");
                return;
            }
        }
        const double wholeMs = millisecondsBetween(start, Clock::now());
        state.counters["load_ms"] = wholeMs;

        double worstReturn = 0;
        double worstRelease = 0;
        double worstReturnCpu = 0;
        double worstReleaseCpu = 0;
        // Given up early on (within the first 3 % of the time a whole load
        // takes: opening, a database's sort before its first row), then once
        // a quarter, half, three quarters and 95 % of it is told as read.
        for (const int percent : {0, 25, 50, 75, 95}) {
            CancellableLoad load;
            std::atomic<bool> returned{false};
            Clock::time_point returnedAt;
            double returnedCpu = 0;
            double releasedCpu = 0;
            bool failed = false;
            start = Clock::now();
            std::thread reader([&] {
                {
                    CatalogueContents contents = read(load);
                    returnedAt = Clock::now();
                    returnedCpu = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
                    returned.store(true);
                    failed = contents.failed;
                    // What the reader handed back is let go here, on its thread.
                }
                releasedCpu = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
            });
            clockid_t readerClock{};
            pthread_getcpuclockid(reader.native_handle(), &readerClock);
            const auto early = start + std::chrono::microseconds(static_cast<qint64>(wholeMs * 30));
            const auto due = [&] {
                return percent == 0 ? Clock::now() >= early : load.fraction() * 100 >= percent;
            };
            while (!due() && !returned.load()) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            const Clock::time_point cancelled = Clock::now();
            const double cancelledCpu = cpuMilliseconds(readerClock);
            const bool finishedFirst = returned.load();
            load.cancel();
            reader.join();
            // Readers given up let go of what they read on a thread of its own.
            BackgroundRelease::waitForIdle();
            const Clock::time_point released = Clock::now();
            const QString at = QStringLiteral("%1").arg(percent, 2, 10, QLatin1Char('0'));
            if (finishedFirst) {
                state.counters[("finished_before_cancel_at_" + at).toStdString()] = 1;
                continue;
            }
            if (!failed) {
                state.SkipWithError("a load given up came back as a whole catalogue");
                return;
            }
            const double returnMs = millisecondsBetween(cancelled, returnedAt);
            const double releaseMs = millisecondsBetween(cancelled, released);
            state.counters[("cancel_ms_at_" + at).toStdString()] = returnMs;
            state.counters[("cancel_cpu_ms_at_" + at).toStdString()] = returnedCpu - cancelledCpu;
            worstReturn = std::max(worstReturn, returnMs);
            worstRelease = std::max(worstRelease, releaseMs);
            worstReturnCpu = std::max(worstReturnCpu, returnedCpu - cancelledCpu);
            worstReleaseCpu = std::max(worstReleaseCpu, releasedCpu - cancelledCpu);
        }
        state.counters["worst_cancel_ms"] = worstReturn;
        state.counters["worst_released_ms"] = worstRelease;
        state.counters["worst_cancel_cpu_ms"] = worstReturnCpu;
        state.counters["worst_released_cpu_ms"] = worstReleaseCpu;
        state.SetIterationTime(worstReturn / 1000.0);
    }
}

} // namespace

BENCHMARK_CAPTURE(CancelLoad, ITunes, &iTunes)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CancelLoad, IPhoto, &iPhoto)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CancelLoad, Shotwell, &shotwell)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CancelLoad, Digikam, &digikam)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CancelLoad, Strawberry, &strawberry)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CancelLoad, Rhythmbox, &rhythmbox)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
