#include "FakePlayer.h"
#include "browser/MovieListController.h"
#include "browser/QVMovieView.h"
#include "iconview/IconView.h"
#include "iconview/ThumbnailLoader.h"
#include "model/QVMovie.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

// A short movie of size made with ffmpeg; answers its path.
QString makeMovie(const TempHome& home, const QString& name, const QString& size, int seconds = 1) {
    const QString path = home.file(name);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                  QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("testsrc=size=%1:rate=10:duration=%2").arg(size).arg(seconds),
                  QStringLiteral("-c:v"), QStringLiteral("mpeg4"), path});
    EXPECT_TRUE(ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0) << name.toStdString();
    return path;
}

// Counts the notifications of one name about one object.
struct Counter {
    Counter(const char* name, const void* object) {
        NotificationCenter::defaultCenter().addObserver(this, name, object,
                                                        [this](const Notification&) { ++count; });
    }
    ~Counter() { NotificationCenter::defaultCenter().removeObserver(this); }
    int count = 0;
};

class MovieListTest : public ::testing::Test {
protected:
    MovieListTest() {
        area.setFrameShape(QFrame::NoFrame);
        view = new IconView;
        view->setDataSource(&list);
        area.setWidget(view);
        area.resize(480, 360);
        list.setIconView(view);
        list.awakeFromNib();
        view->awakeFromNib();
        list.setPlayerFactory(players.factory());
        area.show();
    }

    void show(const QStringList& paths) {
        folder = std::make_shared<MediaFolder>();
        for (const QString& path : paths) {
            folder->addFile(QVMovie::movieFromFile(path));
        }
        list.setFolder(folder);
        QCoreApplication::processEvents();
    }
    // Waits until every cell of the list has its picture.
    bool allPicturesArrive() {
        return QTest::qWaitFor(
            [this] {
                for (int i = 0; i < list.numItems(); ++i) {
                    if (list.imageForIndex(view, i)->size().isEmpty()) {
                        return false;
                    }
                }
                return true;
            },
            20000);
    }
    void selectOnly(int index) {
        view->selection() = {index};
        view->update();
    }
    QRect expectedFrame(int index) {
        const NSRect r = view->scaledImageRect(index);
        return QRect(qRound(r.origin.x), qRound(r.origin.y), qRound(r.size.width), qRound(r.size.height));
    }

    TempHome home;
    MovieListController list;
    QScrollArea area;
    IconView* view = nullptr;
    FakePlayers players;
    MediaFolderPtr folder;
};

TEST(MoviePosterSize, FitsInto150Square) {
    const NSSize wide = MovieListController::posterSize(NSMakeSize(300, 200));
    EXPECT_EQ(wide.width, 150);
    EXPECT_EQ(wide.height, 100);
    const NSSize small = MovieListController::posterSize(NSMakeSize(100, 50));
    EXPECT_EQ(small.width, 150);
    EXPECT_EQ(small.height, 75);
    const NSSize tall = MovieListController::posterSize(NSMakeSize(720, 1280));
    EXPECT_FLOAT_EQ(tall.width, 84.375f);
    EXPECT_EQ(tall.height, 150);
}

TEST_F(MovieListTest, PostersAreMadeAtTheirFittedSizeAndUnreadableFilesShowTheirIcon) {
    const QString wide = makeMovie(home, QStringLiteral("wide.mp4"), QStringLiteral("300x200"));
    const QString small = makeMovie(home, QStringLiteral("small.mp4"), QStringLiteral("100x50"));
    const QString broken = home.writeFile(QStringLiteral("broken.mov"), "not a movie");
    show({wide, small, broken});
    ASSERT_TRUE(allPicturesArrive());
    const qreal ratio = view->devicePixelRatioF();
    const IconImagePtr first = list.imageForIndex(view, 0);
    EXPECT_EQ(first->size(), QSizeF(150, 100));
    EXPECT_EQ(first->pixels().size(), (QSizeF(150, 100) * ratio).toSize());
    EXPECT_EQ(list.imageForIndex(view, 1)->size(), QSizeF(150, 75));
    EXPECT_EQ(list.imageForIndex(view, 2)->size(), QSizeF(512, 512));

    // Thumbnails are kept by URL until the list is rebuilt.
    EXPECT_EQ(list.getImage(Path::fileUrl(wide)), first);
    EXPECT_EQ(list.cacheCount(), 3);
    list.setFilter(QStringLiteral("small"));
    EXPECT_EQ(list.cacheCount(), 0);
}

TEST_F(MovieListTest, OnlyOneSelectedItemCanPlayAndItPlaysOverItsPicture) {
    const QString wide = makeMovie(home, QStringLiteral("wide.mp4"), QStringLiteral("300x200"));
    show({wide, wide, wide});
    ASSERT_TRUE(allPicturesArrive());
    EXPECT_FALSE(list.canPlay());
    view->selection() = {0, 2};
    EXPECT_FALSE(list.canPlay());
    selectOnly(2);
    EXPECT_TRUE(list.canPlay());
    QCoreApplication::processEvents();

    Counter draws(IconViewDraw, view);
    list.play();
    ASSERT_TRUE(list.isPlaying());
    QVMovieView* movie = list.movieView();
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->parentWidget(), view);
    EXPECT_EQ(movie->geometry(), expectedFrame(2));
    EXPECT_TRUE(movie->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(players.last->playing);
    // Showing the movie must not redraw the grid, which would stop it at once.
    QTest::qWait(200);
    EXPECT_EQ(draws.count, 0);
    EXPECT_TRUE(list.isPlaying());

    // A screen reader finds the cell it plays over described as playing, until it stops.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(view);
    EXPECT_EQ(grid->child(2)->text(QAccessible::Description), QStringLiteral("Playing"));
    EXPECT_TRUE(grid->child(0)->text(QAccessible::Description).isEmpty());
    list.stop();
    EXPECT_TRUE(grid->child(2)->text(QAccessible::Description).isEmpty());
}

TEST_F(MovieListTest, RedrawsEndsRebuildsAndStopRequestsEndPlayback) {
    const QString wide = makeMovie(home, QStringLiteral("wide.mp4"), QStringLiteral("300x200"));
    show({wide, wide});
    ASSERT_TRUE(allPicturesArrive());
    selectOnly(0);
    Counter playingPosts(QVMBListCtrlIsPlayingChanged, &list);

    list.play();
    QPointer<QVMovieView> movie = list.movieView();
    // Any redraw of the grid, as scrolling makes.
    view->update();
    EXPECT_EVENTUALLY(!list.isPlaying(), 2000);
    EXPECT_EVENTUALLY(!movie, 1000);

    list.play();
    players.finishLast();
    EXPECT_FALSE(list.isPlaying());

    list.play();
    list.setFilter(QStringLiteral("wide"));
    EXPECT_FALSE(list.isPlaying());

    selectOnly(1);
    list.togglePlay();
    list.togglePlay();
    EXPECT_FALSE(list.isPlaying());
    EXPECT_GE(playingPosts.count, 8);
}

TEST_F(MovieListTest, DoubleClicksPlayAndClicksOnTheMovieReachTheGrid) {
    const QString wide = makeMovie(home, QStringLiteral("wide.mp4"), QStringLiteral("300x200"));
    show({wide, wide, wide});
    ASSERT_TRUE(allPicturesArrive());
    QWindow* window = area.windowHandle();
    const auto centre = [this](int index) {
        const NSRect r = view->scaledImageRect(index);
        return view->mapTo(
            &area, QPoint(qRound(r.origin.x + r.size.width / 2), qRound(r.origin.y + r.size.height / 2)));
    };
    // A double click as a hand makes it, with the grid's redraws between the presses and releases.
    const auto doubleClick = [this](QPoint inArea) {
        const QPointF p = view->mapFrom(&area, inArea);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent event(type, p, view->mapToGlobal(p), Qt::LeftButton,
                              down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view, &event);
            QTest::qWait(30);
        }
    };
    // A double click on one of two selected items keeps both selected: nothing plays.
    view->selection() = {0, 1};
    doubleClick(centre(0));
    EXPECT_FALSE(list.isPlaying());
    doubleClick(centre(2));
    EXPECT_EQ(view->selection(), IndexSet{2});
    ASSERT_TRUE(list.isPlaying());

    // A click on the playing movie selects its cell in the grid; the redraw that follows stops it.
    QTest::mouseClick(window, Qt::LeftButton, {}, centre(2));
    EXPECT_EQ(view->selection(), IndexSet{2});
    EXPECT_EVENTUALLY(!list.isPlaying(), 2000);
}

TEST_F(MovieListTest, DraggedItemsCarryTheirFilesInIndexOrder) {
    const QString first = home.writeFile(QStringLiteral("b c.mp4"));
    const QString second = home.writeFile(QStringLiteral("a.mov"));
    show({first, second});
    QMimeData pasteboard;
    EXPECT_TRUE(list.writeRowsWithIndexes(view, {1, 0}, &pasteboard));
    EXPECT_EQ(pasteboard.urls(), (QList<QUrl>{Path::fileUrl(first), Path::fileUrl(second)}));
    QMimeData none;
    EXPECT_TRUE(list.writeRowsWithIndexes(view, {}, &none));
    EXPECT_TRUE(none.urls().isEmpty());
}

// A generated movie through libmpv. Its picture is drawn where OpenGL is
// available; on the offscreen platform it plays without one.
TEST_F(MovieListTest, PlaysAGeneratedMovieInPlaceToItsEnd) {
    const QString clip =
        MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov, home.file(QStringLiteral("clip.mov")));
    list.setPlayerFactory([](const QUrl& url) { return QVMovieView::makePlayer(url, "null"); });
    show({clip});
    ASSERT_TRUE(allPicturesArrive());
    selectOnly(0);
    QCoreApplication::processEvents();
    Counter draws(IconViewDraw, view);
    list.play();
    ASSERT_TRUE(list.isPlaying());
    QPointer<QVMovieView> movie = list.movieView();
    if (QVMovieView::drawsVideo()) {
        EXPECT_EVENTUALLY(!movie || movie->framesDrawn() > 2, 10000);
    }
    EXPECT_EVENTUALLY(!list.isPlaying(), 10000);
    EXPECT_EQ(draws.count, 0);
}

// Pictures arriving in visible cells repaint those cells; that is no redraw
// of the grid and leaves the movie playing. A movie started before its poster
// arrived moves onto the poster when it comes.
TEST_F(MovieListTest, PicturesArrivingLeaveTheMoviePlayingOverItsPoster) {
    const QString wide = makeMovie(home, QStringLiteral("wide.mp4"), QStringLiteral("300x200"));
    const QString other = makeMovie(home, QStringLiteral("other.mp4"), QStringLiteral("200x300"));
    show({wide, other, wide, other});
    selectOnly(0);
    QCoreApplication::processEvents();
    list.play();
    ASSERT_TRUE(list.isPlaying());
    ASSERT_TRUE(allPicturesArrive());
    QTest::qWait(100);
    ASSERT_TRUE(list.isPlaying());
    EXPECT_EQ(list.movieView()->geometry(), expectedFrame(0));

    // The same arrival again, as for a cell scrolled back into view.
    Counter draws(IconViewDraw, view);
    Q_EMIT ThumbnailLoader::instance()->imageReady(list.imageForIndex(view, 1).get());
    QTest::qWait(100);
    EXPECT_EQ(draws.count, 0);
    EXPECT_TRUE(list.isPlaying());

    // A real redraw still ends it.
    view->update();
    EXPECT_EVENTUALLY(!list.isPlaying(), 2000);
}

// A movie mpv cannot play ends at once: its view goes and the list says it stopped.
TEST_F(MovieListTest, AMovieThatCannotBePlayedEndsAndItsViewGoes) {
    QFile mov(MediaFixtures::path(MediaFixtures::Fixture::TaggedMov));
    ASSERT_TRUE(mov.open(QIODevice::ReadOnly));
    const QString truncated = home.writeFile(QStringLiteral("truncated.mov"), mov.read(mov.size() / 3));
    list.setPlayerFactory([](const QUrl& url) { return QVMovieView::makePlayer(url, "null"); });
    show({truncated});
    ASSERT_TRUE(allPicturesArrive());
    selectOnly(0);
    QCoreApplication::processEvents();
    Counter playing(QVMBListCtrlIsPlayingChanged, &list);
    list.play();
    ASSERT_TRUE(list.isPlaying());
    QPointer<QVMovieView> movie = list.movieView();
    EXPECT_EVENTUALLY(!list.isPlaying(), 10000);
    EXPECT_EVENTUALLY(!movie, 2000);
    EXPECT_EQ(playing.count, 2);
}

TEST_F(MovieListTest, DrawsTheMovieOnScreenOverItsPicture) {
    if (QApplication::platformName() == QLatin1String("offscreen")) {
        GTEST_SKIP() << "the offscreen platform has no OpenGL; run with QT_QPA_PLATFORM=xcb on a display";
    }
    ASSERT_TRUE(QVMovieView::drawsVideo());
    // testsrc shows a counter of seconds: the picture on screen changes as the movie plays.
    const QString clip = makeMovie(home, QStringLiteral("clip.mp4"), QStringLiteral("320x240"), 4);
    list.setPlayerFactory([](const QUrl& url) { return QVMovieView::makePlayer(url, "null"); });
    show({clip});
    ASSERT_TRUE(allPicturesArrive());
    selectOnly(0);
    QTest::qWait(100);
    const QRect frame = expectedFrame(0).translated(view->mapTo(&area, QPoint()));
    const auto onScreen = [&] {
        return area.screen()->grabWindow(area.winId()).toImage().copy(frame);
    };
    const QImage poster = onScreen();
    Counter draws(IconViewDraw, view);
    list.play();
    ASSERT_TRUE(list.movieView());
    ASSERT_EVENTUALLY(list.movieView() && list.movieView()->framesDrawn() > 15, 10000);
    EXPECT_NE(onScreen(), poster);
    EXPECT_EQ(draws.count, 0);
    EXPECT_TRUE(list.isPlaying());
}

} // namespace
