#include "GridFixture.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

void expectRect(NSRect r, float x, float y, float w, float h) {
    EXPECT_EQ(r, NSMakeRect(x, y, w, h))
        << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height;
}

TEST(IconViewLayout, CellGeometryFollowsTheWidthWithTruncation) {
    Grid grid(310);
    ASSERT_EQ(grid.view->width(), 310);
    IconView& view = *grid.view;
    EXPECT_EQ(view.frameSize(), 103);
    EXPECT_EQ(view.imageSize(), 95);
    EXPECT_EQ(view.totalBoundSize(), NSMakeSize(103, 117));
    expectRect(view.boundRect(4), 107, 121, 103, 117);
    expectRect(view.imageRect(4), 107, 121, 95, 95);
    expectRect(view.textRect(4), 107, 220, 95, 14);

    // A wide picture is fitted and centred in the picture square.
    grid.source.picture = IconImage::fromImage(FakeSource::solid(QSize(190, 95), Qt::red));
    grid.reload(6);
    expectRect(view.scaledImageRect(4), 107, 144.75f, 95, 47.5f);
    EXPECT_TRUE(view.isFlipped());
    expectRect(view.flipRect(NSMakeRect(0, 10, 5, 20)), 0, static_cast<float>(view.height() - 30), 5, 20);

    for (const auto& [width, frame] : {std::pair{300, 100}, {301, 100}, {302, 100}, {303, 101}}) {
        view.resize(width, view.height());
        EXPECT_EQ(view.frameSize(), frame) << width;
    }
    view.resize(300, view.height());
    EXPECT_EQ(view.imageSize(), 92);
    EXPECT_EQ(view.totalBoundSize().height, 114);
}

TEST(IconViewLayout, TheViewTakesTheViewportWidthAndItsHeightFollowsTheRows) {
    Grid grid(310, 50);
    for (const auto& [count, rows] : {std::pair{1, 1}, {2, 1}, {3, 1}, {4, 2}, {7, 3}}) {
        grid.reload(count);
        EXPECT_EQ(grid.view->height(), rows * 117) << count;
    }
    // Never shorter than the visible height.
    grid.area.resize(grid.area.width(), 500);
    EXPECT_EQ(grid.view->height(), 500);

    grid.area.resize(grid.area.width() + 99, 500);
    EXPECT_EQ(grid.view->width(), grid.area.viewport()->width());
    EXPECT_EQ(grid.view->width(), 409);
    EXPECT_EQ(grid.view->frameSize(), 136);
    EXPECT_EQ(grid.view->height(), 500);
}

TEST(IconViewLayout, ResizingKeepsTheScrollPositionInProportion) {
    Grid grid(310, 300);
    grid.reload(30); // 10 rows of 117
    ASSERT_EQ(grid.view->height(), 1170);
    grid.area.verticalScrollBar()->setValue(300);

    // Twice as wide: slots of 206 x 220, 2200 high.
    grid.area.resize(grid.area.width() + 309, 300);
    ASSERT_EQ(grid.view->width(), 619);
    EXPECT_EQ(grid.view->height(), 2200);
    EXPECT_EQ(grid.scrollY(), qRound(300.0 * 2200 / 1170));
    // And back: 1800 of 2200 becomes 957 of 1170, as far as the end allows.
    grid.area.verticalScrollBar()->setValue(1800);
    grid.area.resize(grid.area.width() - 309, 300);
    EXPECT_EQ(grid.view->height(), 1170);
    EXPECT_EQ(grid.scrollY(), 1170 - 300);
    grid.area.verticalScrollBar()->setValue(300);
    grid.area.resize(grid.area.width() + 309, 300);
    grid.area.verticalScrollBar()->setValue(800);
    grid.area.resize(grid.area.width() - 309, 300);
    EXPECT_EQ(grid.scrollY(), qRound(800.0 * 1170 / 2200));

    // From no height at all: the top, with no division by zero.
    grid.view->resize(grid.view->width(), 0);
    grid.view->updateSize();
    EXPECT_EQ(grid.view->height(), 1170);
    EXPECT_EQ(grid.scrollY(), 0);
}

TEST(IconViewLayout, IndexAtUsesSlotsAndClampsToTheLastItem) {
    Grid grid(310);
    grid.reload(7);
    IconView& view = *grid.view;
    EXPECT_EQ(view.indexAt({0, 0}), 0);
    EXPECT_EQ(view.indexAt({102.9f, 116.9f}), 0);
    EXPECT_EQ(view.indexAt({103, 0}), 1);
    EXPECT_EQ(view.indexAt({0, 117}), 3);
    EXPECT_EQ(view.indexAt({309, 0}), 3);   // the right margin belongs to the next row
    EXPECT_EQ(view.indexAt({250, 240}), 6); // empty slot of the last row
    EXPECT_EQ(view.indexAt({5, 5000}), 6);  // below the last row
    // Before the grid: nothing rather than a negative index.
    EXPECT_EQ(view.indexAt({-500, -500}), -1);
    EXPECT_EQ(view.indexAt({-1e30f, 5}), -1);

    grid.reload(0);
    EXPECT_EQ(view.indexAt({0, 0}), -1);
    EXPECT_EQ(view.indexAfterRect(NSMakeRect(0, 0, 300, 300)), 0);
}

TEST(IconViewLayout, WidthsTooSmallForSlotsHitNothing) {
    Grid grid(310);
    grid.reload(7);
    grid.view->resize(2, grid.view->height());
    EXPECT_EQ(grid.view->indexAt({0, 0}), -1);
    grid.source.askedIndexes.clear();
    grid.view->repaint();
    QTest::mouseClick(grid.view, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(grid.view->selection().empty());
    EXPECT_TRUE(grid.source.askedIndexes.empty());
}

TEST(IconViewLayout, DirtyRectanglesMapToWholeRows) {
    Grid grid(310);
    grid.reload(10);
    IconView& view = *grid.view;
    EXPECT_EQ(view.firstIndexInRect(NSMakeRect(0, 120, 10, 10)), 3);
    EXPECT_EQ(view.indexAfterRect(NSMakeRect(0, 120, 10, 10)), 6);
    // A bottom edge exactly on a slot boundary takes in one more row.
    EXPECT_EQ(view.indexAfterRect(NSMakeRect(0, 0, 10, 117)), 6);
    EXPECT_EQ(view.indexAfterRect(NSMakeRect(0, 0, 10, 116)), 3);
    // Limited by the count; a rectangle below the last row is empty.
    EXPECT_EQ(view.indexAfterRect(NSMakeRect(0, 300, 10, 100)), 10);
    EXPECT_GE(view.firstIndexInRect(NSMakeRect(0, 500, 10, 100)), 10);
}

TEST(IconViewLayout, CountIsAskedOncePerReloadAndNeverNegative) {
    Grid grid(310);
    grid.source.count = 5;
    grid.view->reloadData();
    grid.source.countAsks = 0;
    EXPECT_EQ(grid.view->count(), 5);
    grid.source.count = 8;
    grid.view->repaint();
    EXPECT_EQ(grid.view->count(), 5);
    EXPECT_EQ(grid.source.countAsks, 1);

    grid.view->reloadData();
    EXPECT_EQ(grid.view->count(), 8);
    EXPECT_EQ(grid.source.countAsks, 2);

    grid.source.count = -4;
    grid.view->reloadData();
    EXPECT_EQ(grid.view->count(), 0);
    EXPECT_EQ(grid.view->height(), grid.area.viewport()->height());
    grid.source.askedIndexes.clear();
    grid.view->repaint();
    QTest::mouseClick(grid.view, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(grid.source.askedIndexes.empty());
}

TEST(IconViewLayout, ReloadEmptiesTheSelectionAndShowsTheTop) {
    Grid grid(310, 200);
    grid.reload(30);
    grid.view->selectAll();
    grid.area.verticalScrollBar()->setValue(500);
    NotificationCounter changed(IconViewSelectionChanged, grid.view);

    grid.view->reloadData();
    EXPECT_TRUE(grid.view->selection().empty());
    EXPECT_EQ(changed.count, 1);
    EXPECT_EQ(grid.scrollY(), 0);
}

} // namespace
