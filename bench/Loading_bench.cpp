// The window's responsiveness while folders load, and the search field's
// keystroke on large lists.
//
// Opening: the longest time the main thread spends away from its event loop
// while a list opens a folder that is not loaded yet, from the click to the
// complete list (the old way read the whole folder in that one turn; its
// figure is the whole synchronous load, measured beside it).
// Keystroke: one more letter and back, through a list's search index, against
// the items' own matcher called for every item (the old way).
// While loading: a click on a column header during a million-track load, and
// the first keystroke in a local music folder whose tags are still being read.

#include "bench/BenchData.h"
#include "bench/CatalogueGenerator.h"
#include "bench/LibraryGenerator.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "iconview/IconView.h"
#include "model/QVTrack.h"
#include "model/SearchIndex.h"
#include "platform/system/Path.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/catalogues/ShotwellFolder.h"
#include "sources/local/LocalFolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <ctime>
#include <sys/resource.h>

namespace {

QString itunesCatalogue(int tracks) {
    const QString path = QStringLiteral("/tmp/qvmb-bench/itunes-%1.xml").arg(tracks);
    if (!QFileInfo::exists(path)) {
        // Written aside and renamed, so that an interrupted run leaves no half catalogue.
        QDir().mkpath(QStringLiteral("/tmp/qvmb-bench"));
        CatalogueGenerator::writeITunesLibrary(path + QStringLiteral(".part"), tracks);
        QFile::rename(path + QStringLiteral(".part"), path);
    }
    return path;
}

// The main thread's processor time so far, in nanoseconds.
qint64 threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The main thread's minor page faults so far: memory it touched for the
// first time. On a virtual machine each such fault can cost far more than the
// work done with the memory.
long threadPageFaults() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

// The longest turn's processor time in the last longestTurnMs(): on a machine
// whose cores are shared, a turn's wall time also counts the time the thread
// waited for a core, which the program does not decide. With it, the page
// faults taken in that turn.
double lastLongestTurnCpuMs = 0;
long lastLongestTurnPageFaults = 0;

// Runs the event loop until done, answering the longest turn in milliseconds
// (start() counts as a turn of its own).
double longestTurnMs(const std::function<void()>& start, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    const qint64 cpuStart = threadCpuNs();
    const long faultsStart = threadPageFaults();
    start();
    qint64 longest = clock.nsecsElapsed();
    qint64 last = longest;
    qint64 lastCpu = threadCpuNs();
    long lastFaults = threadPageFaults();
    qint64 longestCpu = lastCpu - cpuStart;
    long longestCpuFaults = lastFaults - faultsStart;
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 now = clock.nsecsElapsed();
        const qint64 nowCpu = threadCpuNs();
        const long nowFaults = threadPageFaults();
        longest = std::max(longest, now - last);
        if (nowCpu - lastCpu > longestCpu) {
            longestCpu = nowCpu - lastCpu;
            longestCpuFaults = nowFaults - lastFaults;
        }
        last = now;
        lastCpu = nowCpu;
        lastFaults = nowFaults;
    }
    lastLongestTurnCpuMs = static_cast<double>(longestCpu) / 1e6;
    lastLongestTurnPageFaults = longestCpuFaults;
    return static_cast<double>(longest) / 1e6;
}

struct MusicWindow {
    MusicWindow() {
        list.setTableView(&view);
        list.awakeFromNib();
        view.resize(700, 500);
        view.show();
        QApplication::processEvents();
    }
    MusicTableView view;
    MusicListController list;
};

void OpenITunesLibrary(benchmark::State& state) {
    const QString path = itunesCatalogue(static_cast<int>(state.range(0)));
    const bool background = state.range(1) != 0;
    for (auto _ : state) {
        MusicWindow window;
        const ITunesFolderPtr folder = ITunesFolder::create(QStringLiteral("iTunes"), path, false, false);
        double block = 0;
        if (background) {
            block = longestTurnMs([&] { window.list.setFolder(folder); },
                                  [&] { return window.list.numItems() > 0; });
        } else {
            // The old way: the whole read in the turn that opens the folder.
            block = longestTurnMs(
                [&] {
                    folder->lazyLoad();
                    window.list.setFolder(folder);
                },
                [] { return true; });
        }
        state.SetIterationTime(block / 1000.0);
        state.counters["longest_block_ms"] = block;
        state.counters["tracks"] = window.list.numItems();
    }
    state.SetLabel(background ? "in the background" : "on the main thread (old)");
}
BENCHMARK(OpenITunesLibrary)
    ->Args({50000, 1})
    ->Args({50000, 0})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Clicking the Name header while a million-track library loads: the click
// is queued until the tracks arrive and the sort runs on a loader, so no turn
// of the event loop waits for either. Reports the longest turn from opening
// the library to the sorted list, all its rows in the table, beside the load
// alone; and when the table got its first and its last row (it is handed a
// long list a slice per turn).
void SortWhileLoading(benchmark::State& state) {
    const QString path = itunesCatalogue(static_cast<int>(state.range(0)));
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        MusicWindow window;
        const ITunesFolderPtr folder = ITunesFolder::create(QStringLiteral("iTunes"), path, false, false);
        QElapsedTimer sinceOpen;
        const bool click = state.range(1) != 0;
        bool clicked = false;
        QString loadOrderFirst; // the first row as the catalogue lists it
        qint64 firstRowMs = -1;
        qint64 lastRowMs = -1;
        const auto firstName = [&] {
            return window.list.objectValueForTableColumn(&window.view, QStringLiteral("name"), 0).toString();
        };
        const auto tableRows = [&] {
            return window.view.model()->rowCount();
        };
        const double block = longestTurnMs(
            [&] {
                window.list.setFolder(folder);
                sinceOpen.start();
            },
            [&] {
                if (firstRowMs < 0 && tableRows() > 0) {
                    firstRowMs = sinceOpen.elapsed();
                }
                if (lastRowMs < 0 && tableRows() == count) {
                    lastRowMs = sinceOpen.elapsed();
                }
                if (!click) {
                    return tableRows() == count || sinceOpen.elapsed() > 300000; // the load alone
                }
                if (!clicked && sinceOpen.elapsed() > 300) {
                    Q_EMIT window.view.horizontalHeader()->sectionClicked(0); // what a click on "Name" sends
                    clicked = true;
                }
                if (window.list.numItems() > 0 && loadOrderFirst.isNull()) {
                    loadOrderFirst = firstName();
                }
                // Sorted once the first row is another than the catalogue's first.
                const bool sorted = clicked && !loadOrderFirst.isNull() && firstName() != loadOrderFirst;
                return (sorted && tableRows() == count) || sinceOpen.elapsed() > 300000;
            });
        if (window.list.numItems() != state.range(0) || (click && firstName() == loadOrderFirst)) {
            state.SkipWithError("the library's tracks did not arrive sorted");
            return;
        }
        state.SetIterationTime(block / 1000.0);
        state.counters["longest_block_ms"] = block;
        state.counters["longest_block_cpu_ms"] = lastLongestTurnCpuMs;
        state.counters["longest_block_page_faults"] = static_cast<double>(lastLongestTurnPageFaults);
        state.counters["tracks"] = window.list.numItems();
        state.counters["first_row_ms"] = static_cast<double>(firstRowMs);
        state.counters["last_row_ms"] = static_cast<double>(lastRowMs);
    }
    state.SetLabel(state.range(1) != 0 ? "Name clicked during the load" : "the load alone");
}
BENCHMARK(SortWhileLoading)
    ->Args({1000000, 1})
    ->Args({1000000, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The floor under the turn that hands a million tracks to the list: a bare
// table view of Qt's whose model goes from no rows to a million in one reset
// (the header lays out a section per row). Processor time of that one turn.
class BareRows : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex& index, int role) const override {
        return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
    }
    void reset(int count) {
        beginResetModel();
        rows = count;
        endResetModel();
    }
    int rows = 0;
};

void BareTableReset(benchmark::State& state) {
    for (auto _ : state) {
        QTableView view;
        BareRows model;
        view.setModel(&model);
        view.verticalHeader()->hide();
        view.resize(700, 500);
        view.show();
        QApplication::processEvents();
        const double block =
            longestTurnMs([&] { model.reset(static_cast<int>(state.range(0))); }, [&] { return true; });
        if (view.model()->rowCount() != state.range(0)) {
            state.SkipWithError("the rows did not arrive");
            return;
        }
        state.SetIterationTime(block / 1000.0);
        state.counters["longest_block_ms"] = block;
        state.counters["longest_block_cpu_ms"] = lastLongestTurnCpuMs;
        state.counters["longest_block_page_faults"] = static_cast<double>(lastLongestTurnPageFaults);
    }
    state.SetLabel("a bare table view of Qt's");
}
BENCHMARK(BareTableReset)->Arg(1000000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The first keystroke in a local music folder of 5,000 tracks typed as soon as
// the listing shows, while the tags are still read on a worker: the search
// waits for them instead of reading files on the main thread. Reports the
// longest turn from the keystroke to the filtered list, and that wait.
void FirstKeystrokeInLocalMusic(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const QString directory = QFileInfo(BenchData::mp3Files(count).constFirst()).path();
    for (auto _ : state) {
        MusicWindow window;
        const LocalFolderPtr folder = LocalFolder::create(directory, LocalFolder::Music);
        longestTurnMs([&] { window.list.setFolder(folder); }, [&] { return window.list.numItems() > 0; });
        if (window.list.numItems() != count) {
            state.SkipWithError("the folder's tracks were not listed");
            return;
        }
        QElapsedTimer answer;
        answer.start();
        const bool tagsPending = folder->detailsPending();
        double keystrokeMs = 0; // the keystroke's own turn; the rest is the tags' arrival
        // No track is named so: the list is empty once the keystroke is
        // answered (while it waits for the tags it is empty too, saying so).
        const auto answered = [&] {
            return !folder->detailsPending() && window.list.numItems() == 0;
        };
        const double block = longestTurnMs(
            [&] {
                QElapsedTimer turn;
                turn.start();
                window.list.setFilter(QStringLiteral("zq"));
                window.view.viewport()->repaint();
                keystrokeMs = static_cast<double>(turn.nsecsElapsed()) / 1e6;
            },
            [&] { return answered() || answer.elapsed() > 60000; });
        if (!answered()) {
            state.SkipWithError("the keystroke was never answered");
            return;
        }
        state.SetIterationTime(block / 1000.0);
        state.counters["longest_block_ms"] = block;
        state.counters["longest_block_cpu_ms"] = lastLongestTurnCpuMs;
        state.counters["longest_block_page_faults"] = static_cast<double>(lastLongestTurnPageFaults);
        state.counters["answered_after_ms"] = static_cast<double>(answer.elapsed());
        state.counters["tags_pending_at_keystroke"] = tagsPending ? 1 : 0;
        state.counters["keystroke_turn_ms"] = keystrokeMs;
    }
}
BENCHMARK(FirstKeystrokeInLocalMusic)
    ->Arg(5000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void OpenLocalFolder(benchmark::State& state) {
    const QString directory =
        BenchData::flatDirectory(QStringLiteral("flat-100000-jpg"), 100000, 0, QStringLiteral("IMG_%1.jpg"));
    const bool background = state.range(0) != 0;
    for (auto _ : state) {
        QVMBListController list;
        const LocalFolderPtr folder = LocalFolder::create(directory, LocalFolder::Pictures);
        double block = 0;
        if (background) {
            block = longestTurnMs([&] { list.setFolder(folder); }, [&] { return list.numItems() > 0; });
        } else {
            block = longestTurnMs(
                [&] {
                    folder->lazyLoad();
                    list.setFolder(folder);
                },
                [] { return true; });
        }
        state.SetIterationTime(block / 1000.0);
        state.counters["longest_block_ms"] = block;
        state.counters["items"] = list.numItems();
    }
    state.SetLabel(background ? "in the background" : "on the main thread (old)");
}
BENCHMARK(OpenLocalFolder)->Arg(1)->Arg(0)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

QString shotwellLibrary(int photos) {
    const QString path = QStringLiteral("/tmp/qvmb-bench/shotwell-%1.db").arg(photos);
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QStringLiteral("/tmp/qvmb-bench"));
        QFile::remove(path + QStringLiteral(".part"));
        LibraryGenerator::writeShotwell(path + QStringLiteral(".part"), photos, photos / 50, 500);
        QFile::rename(path + QStringLiteral(".part"), path);
    }
    return path;
}

// The Pictures tab's grid, 900 by 700, as the window shows it.
struct PhotoWindow {
    PhotoWindow() {
        area.setFrameShape(QFrame::NoFrame);
        view = new IconView;
        view->setDataSource(&list);
        list.setIconView(view);
        area.setWidget(view);
        area.resize(900, 700);
        area.show();
        QApplication::processEvents();
    }
    PhotoListController list;
    QScrollArea area;
    IconView* view = nullptr;
};

// Opens folder in the grid, in the background or (the old way) all in the
// turn that opens it; reports the longest turn.
void openInGrid(benchmark::State& state, const std::function<MediaFolderPtr()>& make, bool background) {
    for (auto _ : state) {
        PhotoWindow window;
        const MediaFolderPtr folder = make();
        double block = 0;
        if (background) {
            block = longestTurnMs([&] { window.list.setFolder(folder); },
                                  [&] { return window.list.numItems() > 0; });
        } else {
            block = longestTurnMs(
                [&] {
                    folder->lazyLoad();
                    window.list.setFolder(folder);
                },
                [] { return true; });
        }
        // The grid's first paint of the new list belongs to the opening.
        QElapsedTimer paint;
        paint.start();
        QApplication::processEvents();
        block = std::max(block, paint.nsecsElapsed() / 1e6);
        state.SetIterationTime(block / 1000.0);
        state.counters["longest_block_ms"] = block;
        state.counters["items"] = window.list.numItems();
    }
    state.SetLabel(background ? "in the background" : "on the main thread (old)");
}

void OpenShotwellLibrary(benchmark::State& state) {
    const QString database = shotwellLibrary(static_cast<int>(state.range(0)));
    openInGrid(
        state,
        [&] {
            return std::make_shared<ShotwellFolder>(QStringLiteral("Shotwell"), database, QString(),
                                                    ShotwellFolder::Media::Photos);
        },
        state.range(1) != 0);
}
BENCHMARK(OpenShotwellLibrary)
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void OpenLocalFolderInGrid(benchmark::State& state) {
    const QString directory =
        BenchData::flatDirectory(QStringLiteral("flat-100000-jpg"), 100000, 0, QStringLiteral("IMG_%1.jpg"));
    openInGrid(
        state, [&] { return LocalFolder::create(directory, LocalFolder::Pictures); }, state.range(0) != 0);
}
BENCHMARK(OpenLocalFolderInGrid)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

const char* const kWords[] = {"Love", "Night", "Blue",   "River",   "Song",   "Light", "Heart", "Road",
                              "Rain", "Fire",  "Summer", "Dream",   "Moon",   "Home",  "Ocean", "Gold",
                              "Wild", "Café",  "Über",   "Morning", "Shadow", "Stone", "Dance", "Winter"};

// Catalogue-like tracks: two-word titles with a number, 900 artists.
const std::vector<MediaItemPtr>& tracks(int count) {
    static std::map<int, std::vector<MediaItemPtr>> made;
    auto& items = made[count];
    if (!items.empty()) {
        return items;
    }
    QRandomGenerator random(42);
    const auto word = [&] {
        return QString::fromUtf8(kWords[random.bounded(int(std::size(kWords)))]);
    };
    QStringList artists;
    for (int i = 0; i < 900; ++i) {
        artists.append(word() + QLatin1Char(' ') + word() + QStringLiteral(" %1").arg(i));
    }
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        items.push_back(
            std::make_shared<QVTrack>(word() + QLatin1Char(' ') + word() + QStringLiteral(" %1").arg(i),
                                      artists[random.bounded(int(artists.size()))], 200, QUrl()));
    }
    return items;
}

// The old way: every item's matcher, for every keystroke.
void KeystrokeMatcher(benchmark::State& state) {
    const std::vector<MediaItemPtr>& items = tracks(static_cast<int>(state.range(0)));
    for (const MediaItemPtr& item : items) {
        item->matchesFilter(QStringLiteral("x")); // the items make their search forms once
    }
    bool extend = true;
    std::size_t kept = 0;
    for (auto _ : state) {
        const QString text = extend ? QStringLiteral("riv") : QStringLiteral("ri");
        std::vector<MediaItemPtr> filtered;
        for (const MediaItemPtr& item : items) {
            if (item->matchesFilter(text)) {
                filtered.push_back(item);
            }
        }
        kept = filtered.size();
        extend = !extend;
    }
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(KeystrokeMatcher)->Arg(50000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The index: typing "riv" after "ri" narrows, taking it back searches all.
void KeystrokeIndex(benchmark::State& state) {
    const std::vector<MediaItemPtr>& items = tracks(static_cast<int>(state.range(0)));
    SearchIndex index;
    index.build(items);
    index.match(QStringLiteral("ri"));
    bool extend = true;
    std::size_t kept = 0;
    for (auto _ : state) {
        // The list keeps the positions found; it copies no items.
        const std::vector<std::uint32_t> filtered =
            index.match(extend ? QStringLiteral("riv") : QStringLiteral("ri"));
        kept = filtered.size();
        extend = !extend;
    }
    state.counters["kept"] = static_cast<double>(kept);
}
BENCHMARK(KeystrokeIndex)->Arg(50000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A first letter searches everything; a rare text too.
void KeystrokeIndexFullScan(benchmark::State& state) {
    const std::vector<MediaItemPtr>& items = tracks(static_cast<int>(state.range(0)));
    SearchIndex index;
    index.build(items);
    bool first = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(index.match(first ? QStringLiteral("r") : QStringLiteral("zq")).size());
        first = !first;
    }
}
BENCHMARK(KeystrokeIndexFullScan)->Arg(50000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Typing a text into a shown music list and deleting it again, a letter at a
// time, each keystroke timed to the list repainted: the filter, the table's
// reset and its drawing, with the folder's texts folded as a catalogue load
// folds them. Reports the slowest keystroke and the mean.
void TypeInMusicList(benchmark::State& state) {
    const std::vector<MediaItemPtr>& items = tracks(static_cast<int>(state.range(0)));
    MusicWindow window;
    MediaFolderContents contents;
    contents.files = items;
    contents.searchTexts = SearchIndex::fold(items);
    const MediaFolderPtr folder =
        MediaFolder::makeLoaded(QStringLiteral("Library"), QImage(), std::move(contents));
    window.list.setFolder(folder);
    QApplication::processEvents();
    const QString text = QStringLiteral("river 12");
    for (auto _ : state) {
        double slowest = 0;
        double total = 0;
        int keystrokes = 0;
        const auto keystroke = [&](const QString& filter) {
            QElapsedTimer clock;
            clock.start();
            window.list.setFilter(filter);
            window.view.viewport()->repaint();
            const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            slowest = std::max(slowest, ms);
            total += ms;
            ++keystrokes;
        };
        for (qsizetype length = 1; length <= text.size(); ++length) {
            keystroke(text.left(length));
        }
        for (qsizetype length = text.size() - 1; length >= 0; --length) {
            keystroke(text.left(length));
        }
        state.SetIterationTime(slowest / 1000.0);
        state.counters["slowest_ms"] = slowest;
        state.counters["mean_ms"] = total / keystrokes;
    }
}
BENCHMARK(TypeInMusicList)
    ->Arg(50000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Folding every item once: the first search of a list.
void BuildIndex(benchmark::State& state) {
    const std::vector<MediaItemPtr>& items = tracks(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        SearchIndex index;
        index.build(items);
        benchmark::DoNotOptimize(index.isBuilt());
    }
}
BENCHMARK(BuildIndex)->Arg(50000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
