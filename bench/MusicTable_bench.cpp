// The music table over a 50,000-track catalogue folder: one header click
// (sorting the folder and rebuilding the table twice, then drawing it) and
// one keystroke in the search field (filtering and drawing the table).

#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "model/QVTrack.h"
#include "platform/system/Path.h"

#include <QApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTracks = 50000;

const char* const kWords[] = {"Love", "Night", "Blue",   "River",   "Song",   "Light", "Heart", "Road",
                              "Rain", "Fire",  "Summer", "Dream",   "Moon",   "Home",  "Ocean", "Gold",
                              "Wild", "Café",  "Über",   "Morning", "Shadow", "Stone", "Dance", "Winter"};

// A catalogue-like folder: tracks with known titles, artists and lengths
// (a few of each missing or unknown), in no particular order.
MediaFolderPtr catalogueFolder() {
    QRandomGenerator random(42);
    const auto word = [&] {
        return QString::fromUtf8(kWords[random.bounded(int(std::size(kWords)))]);
    };
    QStringList artists;
    for (int i = 0; i < 900; ++i) {
        artists.append(word() + QLatin1Char(' ') + word() + QStringLiteral(" %1").arg(i));
    }
    std::vector<MediaItemPtr> tracks;
    tracks.reserve(kTracks);
    for (int i = 0; i < kTracks; ++i) {
        const QString title =
            i % 97 == 0 ? QString() : word() + QLatin1Char(' ') + word() + QStringLiteral(" %1").arg(i);
        const QString artist = i % 53 == 0 ? QString() : artists[random.bounded(int(artists.size()))];
        const quint32 length = i % 71 == 0 ? QVTrack::UnknownLength : 30 + random.bounded(600);
        const QUrl url = Path::fileUrl(QStringLiteral("/music/%1/%2.m4a").arg(artist).arg(i));
        tracks.push_back(std::make_shared<QVTrack>(title, artist, length, url));
    }
    auto folder = std::make_shared<MediaFolder>();
    folder->addFiles(std::move(tracks));
    return folder;
}

struct Table {
    Table() {
        list.setTableView(&view);
        list.awakeFromNib();
        view.resize(700, 500);
        view.show();
        list.setFolder(catalogueFolder());
        QApplication::processEvents();
    }
    MusicTableView view;
    MusicListController list;
};

// Each click on a column: ascending on the first, then alternating.
void SortByColumn(benchmark::State& state) {
    Table table;
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        table.list.didClickTableColumn(&table.view, column);
        table.view.viewport()->repaint();
    }
    state.SetLabel(MusicListController::columnIdentifier(column).toStdString());
}
BENCHMARK(SortByColumn)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Typing one more letter, then taking it back, as two keystrokes.
void FilterKeystroke(benchmark::State& state) {
    Table table;
    const QString shorter = QStringLiteral("ri");
    const QString longer = QStringLiteral("riv");
    table.list.setFilter(shorter); // the tracks make their search forms once
    bool extend = true;
    for (auto _ : state) {
        table.list.setFilter(extend ? longer : shorter);
        table.view.viewport()->repaint();
        extend = !extend;
    }
    state.counters["rows"] = table.list.numItems();
}
BENCHMARK(FilterKeystroke)->Unit(benchmark::kMillisecond);

} // namespace
