#include "GridFixture.h"
#include "iconview/LocalDropRefuser.h"

#include <QDragEnterEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The centre of item i's picture in a 310-wide grid of 40 x 40 pictures.
QPoint centre(int i) {
    return QPoint(4 + (i % 3) * 103 + 47, 4 + (i / 3) * 117 + 47);
}

IndexSet set(std::initializer_list<int> indexes) {
    return IndexSet(indexes);
}

class IconViewInteraction : public ::testing::Test {
protected:
    void SetUp() override { grid.reload(12); }
    void click(int i, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(grid.view, Qt::LeftButton, modifiers, centre(i));
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(grid.view, k, modifiers); }
    Grid grid{310, 250};
};

TEST_F(IconViewInteraction, ClicksSelectWithCommandAndShift) {
    NotificationCounter changed(IconViewSelectionChanged, grid.view);
    click(5);
    EXPECT_EQ(grid.view->selection(), set({5}));
    click(2, Qt::ShiftModifier);
    EXPECT_EQ(grid.view->selection(), set({2, 3, 4, 5}));
    click(9, Qt::ShiftModifier);
    EXPECT_EQ(grid.view->selection(), set({2, 3, 4, 5, 6, 7, 8, 9}));
    click(4, Qt::ShiftModifier);
    EXPECT_EQ(grid.view->selection(), set({2, 3, 5, 6, 7, 8, 9}));

    // Command wins over shift; it toggles and still moves the cursor.
    click(7, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(grid.view->selection(), set({2, 3, 5, 6, 8, 9}));
    EXPECT_EQ(grid.view->cursorPos(), 7);
    click(11, Qt::ControlModifier);
    EXPECT_EQ(grid.view->selection(), set({2, 3, 5, 6, 8, 9, 11}));

    // A plain click inside the selection keeps it; outside it replaces it.
    click(3);
    EXPECT_EQ(grid.view->selection(), set({2, 3, 5, 6, 8, 9, 11}));
    click(1);
    EXPECT_EQ(grid.view->selection(), set({1}));
    EXPECT_EQ(changed.count, 8);
}

TEST_F(IconViewInteraction, ClicksBesideThePicturesEmptyTheSelection) {
    // Pictures 40 x 40 in 95-point squares leave empty bands round them.
    grid.source.picture = IconImage::fromImage(FakeSource::solid(QSize(80, 40), Qt::red));
    click(4);
    NotificationCounter changed(IconViewSelectionChanged, grid.view);
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier),
          Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        grid.view->selection() = set({4, 5});
        // The square above the flat picture, then the gap between columns.
        QTest::mouseClick(grid.view, Qt::LeftButton, modifiers, QPoint(51, 8));
        EXPECT_TRUE(grid.view->selection().empty());
        grid.view->selection() = set({4});
        QTest::mouseClick(grid.view, Qt::LeftButton, modifiers, QPoint(102, 50));
        EXPECT_TRUE(grid.view->selection().empty());
    }
    EXPECT_EQ(grid.view->cursorPos(), 4);
    EXPECT_EQ(changed.count, 6);
}

TEST_F(IconViewInteraction, DoubleClicksPostOnTheSecondRelease) {
    NotificationCounter doubleClicks(IconViewDoubleClick, grid.view);
    QWindow* window = grid.area.windowHandle();
    const QPoint onPicture = grid.view->mapTo(&grid.area, centre(1));
    QTest::mouseClick(window, Qt::LeftButton, {}, onPicture);
    EXPECT_EQ(doubleClicks.count, 0);
    QTest::mouseDClick(window, Qt::LeftButton, {}, onPicture);
    EXPECT_EQ(doubleClicks.count, 1);
    EXPECT_EQ(grid.view->selection(), set({1}));
    // In empty space too.
    QTest::mouseDClick(window, Qt::LeftButton, {}, grid.view->mapTo(&grid.area, QPoint(102, 50)));
    EXPECT_EQ(doubleClicks.count, 2);
    EXPECT_TRUE(grid.view->selection().empty());
}

TEST_F(IconViewInteraction, ArrowKeysMoveTheCursorRowByRow) {
    grid.reload(6);
    click(2);
    key(Qt::Key_Down);
    EXPECT_EQ(grid.view->cursorPos(), 5);
    EXPECT_EQ(grid.view->selection(), set({5}));
    click(4);
    NotificationCounter changed(IconViewSelectionChanged, grid.view);
    key(Qt::Key_Down); // nothing below: nothing at all
    EXPECT_EQ(grid.view->cursorPos(), 4);
    EXPECT_EQ(changed.count, 0);
    click(1);
    key(Qt::Key_Up);
    EXPECT_EQ(grid.view->cursorPos(), 1);
    click(2);
    key(Qt::Key_Right); // wraps to the next row
    EXPECT_EQ(grid.view->cursorPos(), 3);
    click(0, Qt::ControlModifier);
    EXPECT_EQ(grid.view->selection(), set({0, 3}));
    changed.count = 0;
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(grid.view->cursorPos(), 0);
    EXPECT_EQ(grid.view->selection(), set({0}));
    EXPECT_EQ(changed.count, 2);
    click(5);
    key(Qt::Key_Right);
    EXPECT_EQ(grid.view->cursorPos(), 5);
}

TEST_F(IconViewInteraction, RightToLeftTheFirstItemIsAtTheRightAndTheArrowsFollowTheEye) {
    grid.view->setLayoutDirection(Qt::RightToLeft);
    EXPECT_GT(grid.view->imageRect(0).origin.x, grid.view->imageRect(2).origin.x);
    // Item 0's picture sits where item 2's sits left to right.
    QTest::mouseClick(grid.view, Qt::LeftButton, {}, QPoint(310 - centre(0).x(), centre(0).y()));
    EXPECT_EQ(grid.view->selection(), set({0}));
    key(Qt::Key_Left); // on towards the next item
    EXPECT_EQ(grid.view->cursorPos(), 1);
    key(Qt::Key_Right);
    EXPECT_EQ(grid.view->cursorPos(), 0);
}

TEST_F(IconViewInteraction, TheCursorScrollsIntoViewButSelectAllDoesNot) {
    // Viewport 250 high: rows 0 and 1 (to 238) show.
    click(4);
    key(Qt::Key_Down);
    EXPECT_EQ(grid.view->cursorPos(), 7);
    EXPECT_EQ(grid.scrollY(), 4 + 3 * 117 - 250);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid.view->selection().size(), 12u);
    EXPECT_EQ(grid.view->cursorPos(), 7);
    EXPECT_EQ(grid.scrollY(), 4 + 3 * 117 - 250);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(grid.scrollY(), 4);
}

TEST_F(IconViewInteraction, WithoutItemsMovesAndSelectAllChangeNothingButPost) {
    grid.reload(0);
    key(Qt::Key_Right);
    EXPECT_EQ(grid.view->cursorPos(), -1);
    NotificationCounter changed(IconViewSelectionChanged, grid.view);
    key(Qt::Key_Left);
    key(Qt::Key_Down);
    EXPECT_EQ(changed.count, 0);
    grid.view->selectAll();
    EXPECT_TRUE(grid.view->selection().empty());
    EXPECT_EQ(changed.count, 1);
}

TEST_F(IconViewInteraction, TheSelectionStaysBelowACountThatShrank) {
    click(10);
    grid.reload(4);
    key(Qt::Key_Left);
    EXPECT_EQ(grid.view->selection(), set({2}));
    click(3);
    grid.reload(12);
    click(11);
    grid.reload(5);
    key(Qt::Key_Up);
    EXPECT_EQ(grid.view->selection(), set({1}));
    grid.reload(2);
    key(Qt::Key_Right);
    EXPECT_EQ(grid.view->selection(), set({1}));
    EXPECT_FALSE(grid.source.askedOutOfRange);
}

TEST_F(IconViewInteraction, DragsCarryTheSelectionFromASelectedPicture) {
    click(3);
    click(0, Qt::ShiftModifier); // {0, 1, 2, 3}
    auto payload =
        grid.view->prepareDrag({static_cast<float>(centre(2).x()), static_cast<float>(centre(2).y())});
    ASSERT_TRUE(payload);
    ASSERT_EQ(grid.source.written.size(), 1u);
    EXPECT_EQ(grid.source.written[0], set({0, 1, 2, 3}));
    EXPECT_EQ(payload->mimeData->urls().size(), 4);
    EXPECT_EQ(payload->imageOrigin, QPoint(4 + 2 * 103, 4));
    EXPECT_EQ(payload->image.deviceIndependentSize(), QSizeF(95, 95) * 1.0);

    // Not on a selected picture, or refused by the data source: no drag.
    EXPECT_FALSE(
        grid.view->prepareDrag({static_cast<float>(centre(4).x()), static_cast<float>(centre(4).y())}));
    EXPECT_FALSE(grid.view->prepareDrag({102, 50}));
    EXPECT_FALSE(grid.view->prepareDrag({-900, -900}));
    grid.source.acceptWrite = false;
    EXPECT_FALSE(
        grid.view->prepareDrag({static_cast<float>(centre(2).x()), static_cast<float>(centre(2).y())}));
    EXPECT_FALSE(grid.source.askedOutOfRange);

    // A command-press that deselects the picture starts nothing.
    grid.source.acceptWrite = true;
    click(2, Qt::ControlModifier);
    EXPECT_FALSE(
        grid.view->prepareDrag({static_cast<float>(centre(2).x()), static_cast<float>(centre(2).y())}));
}

TEST_F(IconViewInteraction, TheDragImageIsTranslucentAndBadgedForSeveralItems) {
    const auto dragImageOf = [this](int item) {
        auto payload = grid.view->prepareDrag(
            {static_cast<float>(centre(item).x()), static_cast<float>(centre(item).y())});
        return payload ? payload->image.convertToFormat(QImage::Format_ARGB32) : QImage();
    };
    click(0);
    const QImage single = dragImageOf(0);
    ASSERT_FALSE(single.isNull());
    // The red picture at 0.6 opacity everywhere, also in the badge's corner.
    EXPECT_NEAR(qAlpha(single.pixel(10, 10)), 153, 1);
    const QPoint corner(single.width() - 8, single.height() - 8);
    EXPECT_EQ(single.pixel(corner), single.pixel(10, 10));

    grid.view->selectAll();
    const QImage badged = dragImageOf(0);
    bool changedInCorner = false;
    for (int y = single.height() - 26; y < single.height() - 2; ++y) {
        for (int x = single.width() - 26; x < single.width() - 2; ++x) {
            changedInCorner |= badged.pixel(x, y) != single.pixel(x, y);
        }
    }
    EXPECT_TRUE(changedInCorner);
    // Outside the corner the badge leaves the picture alone.
    EXPECT_EQ(badged.pixel(10, 10), single.pixel(10, 10));
    EXPECT_EQ(badged.pixel(single.width() - 1, single.height() - 1),
              single.pixel(single.width() - 1, single.height() - 1));
}

TEST(IconViewDragging, CopiesOutAndNothingInsideTheBrowserAcceptsTheDrop) {
    EXPECT_EQ(IconView::draggingSourceOperationMaskForLocal(false), Qt::CopyAction);
    EXPECT_EQ(IconView::draggingSourceOperationMaskForLocal(true), Qt::IgnoreAction);

    struct Accepting : QWidget {
        explicit Accepting(QWidget* parent = nullptr)
            : QWidget(parent) {
            setAcceptDrops(true);
        }
        void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    };
    QWidget browserWindow;
    Accepting inBrowser(&browserWindow);
    Accepting hostWindow; // a host's window, in the same process as the browser
    QMimeData ours;
    ours.setUrls({QUrl::fromLocalFile(QStringLiteral("/pictures/a.jpg"))});
    QMimeData theirs;
    theirs.setUrls(ours.urls());

    LocalDropRefuser refuser(&ours, &browserWindow);
    qApp->installEventFilter(&refuser);
    const auto accepts = [](QWidget* target, QMimeData* data) {
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        return enter.isAccepted();
    };
    EXPECT_FALSE(accepts(&inBrowser, &ours));
    EXPECT_TRUE(accepts(&inBrowser, &theirs));
    EXPECT_TRUE(accepts(&hostWindow, &ours));
    qApp->removeEventFilter(&refuser);
}

} // namespace
