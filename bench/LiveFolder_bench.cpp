// A picture saved into a browsed folder, until the browser window draws its
// cell: through the directory watch, the folder's re-read, the list and the
// grid. The whole window runs as in a host (QVMediaBrowser's shared window on
// the offscreen platform) in a home of its own.
//
// cell_ms: the save, until the grid first paints the new cell (its box and
// caption); picture_ms: until it paints the cell with the decoded picture.

#include "browser/MediaBrowserWindow.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "iconview/IconView.h"
#include "support/TempHome.h"
#include "ui_MediaBrowser.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QTreeView>
#include <QVMediaBrowser/QVMediaBrowser.h>

#include <benchmark/benchmark.h>
#include <functional>
#include <optional>

namespace {

constexpr int kPictures = 5;

QImage picture(int hue) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(hue % 360, 180, 200));
    return image;
}

// The home made before the browser's first use, so it reads this one.
struct LiveHome {
    TempHome home;
    QString folder = home.makeDirectory(QStringLiteral("Pictures/Live"));
    LiveHome() {
        for (int i = 0; i < kPictures; ++i) {
            picture(i * 40).save(folder + QStringLiteral("/Old %1.jpg").arg(i), "JPEG");
        }
    }
};

// Runs the event loop until done, or false after timeoutMs.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QTimer tick; // wakes the loop to check the clock
    tick.start(5);
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Notes when the grid paints the cell of the picture at path, and when it
// paints it with the picture's pixels.
class PaintWatch : public QObject {
public:
    PaintWatch(IconView* view, PhotoListController* list)
        : _view(view)
        , _list(list) {
        view->installEventFilter(this);
    }
    void start(const QString& path) {
        _path = path;
        _clock.start();
        cellMs.reset();
        pictureMs.reset();
    }
    std::optional<double> cellMs;
    std::optional<double> pictureMs;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == _view && event->type() == QEvent::Paint && !_path.isEmpty()) {
            const QRegion region = static_cast<QPaintEvent*>(event)->region();
            for (int i = 0; i < _list->numItems(); ++i) {
                const IconImagePtr image = _list->imageForIndex(_view, i);
                if (!image || image->path() != _path) {
                    continue;
                }
                const NSRect r = _view->boundRect(i);
                if (region.intersects(QRect(static_cast<int>(r.origin.x), static_cast<int>(r.origin.y),
                                            static_cast<int>(r.size.width),
                                            static_cast<int>(r.size.height)))) {
                    const double now = _clock.nsecsElapsed() / 1e6;
                    if (!cellMs) {
                        cellMs = now;
                    }
                    if (!pictureMs && !image->pixels().isNull()) {
                        pictureMs = now;
                    }
                }
            }
        }
        return false;
    }

private:
    IconView* _view;
    PhotoListController* _list;
    QString _path;
    QElapsedTimer _clock;
};

void BM_NewPictureToDrawnCell(benchmark::State& state) {
    static LiveHome home;
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    browser->showWindow();
    auto* window = qobject_cast<MediaBrowserWindow*>(browser->window());
    window->resize(900, 900);
    QVMBTreeController* tree = window->treeController(0);
    if (!waitFor([&] { return tree->rowCount() > 0 && tree->rowCount(tree->index(0, 0)) > 0; }, 5000)) {
        state.SkipWithError("no Pictures folder in the outline");
        return;
    }
    window->ui().picturesOutline->expand(tree->index(0, 0));
    window->ui().picturesOutline->setCurrentIndex(tree->index(0, 0, tree->index(0, 0)));
    PhotoListController* list = window->photoList();
    if (!waitFor([&] { return list->numItems() == kPictures; }, 5000)) {
        state.SkipWithError("the folder did not load");
        return;
    }
    PaintWatch watch(window->photoView(), list);
    std::vector<double> cells;
    std::vector<double> pictures;
    int round = 0;
    for (auto _ : state) {
        const QString path = home.folder + QStringLiteral("/New %1.jpg").arg(round);
        watch.start(path);
        if (state.range(0) == 0) {
            picture(round * 17 + 200).save(path, "JPEG");
        } else {
            // Copied slowly, as from a camera or a network share: half now,
            // the rest after the folder has been read again.
            QByteArray bytes;
            {
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                picture(round * 17 + 200).save(&buffer, "JPEG");
            }
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(bytes.left(bytes.size() / 2));
            file.flush();
            waitFor([] { return false; }, state.range(0));
            file.write(bytes.mid(bytes.size() / 2));
            file.close();
        }
        const bool drawn = waitFor([&] { return watch.pictureMs.has_value(); }, 5000);
        if (!drawn) {
            state.SkipWithError("the new picture was not drawn within 5 s");
            break;
        }
        cells.push_back(*watch.cellMs);
        pictures.push_back(*watch.pictureMs);
        state.SetIterationTime(*watch.pictureMs / 1000);
        // Back to the folder as it was, for the next round.
        QFile::remove(path);
        waitFor([&] { return list->numItems() == kPictures; }, 5000);
        ++round;
    }
    if (!cells.empty()) {
        state.counters["cell_ms_max"] = *std::max_element(cells.begin(), cells.end());
        state.counters["picture_ms_max"] = *std::max_element(pictures.begin(), pictures.end());
        state.counters["cell_ms_min"] = *std::min_element(cells.begin(), cells.end());
    }
}
BENCHMARK(BM_NewPictureToDrawnCell)
    ->Arg(0)
    ->Arg(600)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
