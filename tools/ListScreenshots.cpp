// Shows the music table playing and the movie grid playing a movie in place,
// for a demo home (tools/make-demo-home), and saves a screenshot of each.
// Usage: list_screenshots DEMO_HOME OUTPUT_DIR   (on a display, e.g. under Xvfb)

#include "browser/MovieListController.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/QVMovieView.h"
#include "iconview/IconView.h"
#include "platform/media/MpvPlayer.h"
#include "sources/local/LocalFolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include <cstdio>

namespace {

// The window as the screen shows it, OpenGL pictures included.
bool saveWindow(QWidget* window, const QString& path) {
    QTest::qWait(300);
    const QPixmap shot = window->screen()->grabWindow(window->winId());
    return shot.save(path);
}

bool musicTable(const QString& home, const QString& out) {
    MusicTableView table;
    MusicListController list;
    list.setTableView(&table);
    list.awakeFromNib();
    list.setPlayerFactory([](const QUrl& url) { return MpvPlayer::create(url, {"null", "null"}); });
    table.setWindowTitle(QStringLiteral("Music"));
    table.resize(560, 260);
    table.show();
    list.setFolder(LocalFolder::create(home + QStringLiteral("/Music/Night Owls"), 1));
    list.didClickTableColumn(&table, 0);
    list.didClickTableColumn(&table, 0);
    table.selectRow(1);
    table.selectionModel()->select(list.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.play();
    if (!list.isPlaying()) {
        std::fprintf(stderr, "music did not start\n");
        return false;
    }
    return saveWindow(&table, out + QStringLiteral("/music-playing.png"));
}

bool movieGrid(const QString& home, const QString& out) {
    MovieListController list;
    QScrollArea area;
    auto* view = new IconView;
    view->setDataSource(&list);
    area.setWidget(view);
    area.setWindowTitle(QStringLiteral("Movies"));
    area.resize(600, 440);
    list.setIconView(view);
    list.awakeFromNib();
    view->awakeFromNib();
    list.setPlayerFactory([](const QUrl& url) { return QVMovieView::makePlayer(url, "null"); });
    area.show();
    list.setFolder(LocalFolder::create(home + QStringLiteral("/Movies"), 2));
    const bool posters = QTest::qWaitFor(
        [&] {
            for (int i = 0; i < list.numItems(); ++i) {
                if (list.imageForIndex(view, i)->size().isEmpty()) {
                    return false;
                }
            }
            return true;
        },
        20000);
    if (!posters) {
        std::fprintf(stderr, "posters did not arrive\n");
    }
    view->selection() = {2};
    view->update();
    QTest::qWait(200);
    saveWindow(&area, out + QStringLiteral("/movies-posters.png"));
    list.play();

    QTest::qWait(1500);
    if (!list.isPlaying()) {
        std::fprintf(stderr, "the movie stopped before the screenshot\n");
        return false;
    }
    std::fprintf(stderr, "frames drawn: %d\n", list.movieView()->framesDrawn());

    return saveWindow(&area, out + QStringLiteral("/movies-playing.png"));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: list_screenshots DEMO_HOME OUTPUT_DIR\n");
        return 2;
    }
    const QString home = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    const bool music = musicTable(home, out);
    const bool movies = movieGrid(home, out);
    return music && movies ? 0 : 1;
}
