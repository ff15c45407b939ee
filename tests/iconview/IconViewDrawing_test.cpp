#include "GridFixture.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QRgb kGrey = qRgb(90, 90, 90);
const QRgb kWhite = qRgb(255, 255, 255);

// Draws the view's dirty rectangle d into a grey image of the view's size,
// without clipping, so that whatever the view draws outside d shows.
QImage drawInto(IconView& view, NSRect d) {
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(kGrey);
    QPainter painter(&image);
    view.drawRect(painter, d);
    return image;
}

bool rowUntouched(const QImage& image, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kGrey) {
                return false;
            }
        }
    }
    return true;
}

bool isFrameColour(QRgb c) {
    return qRed(c) == 0 && std::abs(qGreen(c) - 128) <= 1 && qBlue(c) == 255;
}

TEST(IconViewDrawing, EveryRedrawAnnouncesItselfAndFillsWhite) {
    Grid grid(310);
    grid.reload(0);
    NotificationCounter drawn(IconViewDraw, grid.view);
    const QImage image = drawInto(*grid.view, NSMakeRect(10, 10, 100, 50));
    EXPECT_EQ(drawn.count, 1);
    EXPECT_EQ(image.pixel(10, 10), kWhite);
    EXPECT_EQ(image.pixel(109, 59), kWhite);
    EXPECT_EQ(image.pixel(110, 60), kGrey);
    EXPECT_TRUE(grid.source.askedIndexes.empty());

    // Below the last row: background only.
    grid.reload(3);
    grid.source.askedIndexes.clear();
    drawInto(*grid.view, NSMakeRect(0, 200, 310, 100));
    EXPECT_TRUE(grid.source.askedIndexes.empty());
    EXPECT_EQ(drawn.count, 2);
}

TEST(IconViewDrawing, ATouchedRowIsDrawnWholeAndOtherRowsAreLeftAlone) {
    Grid grid(310);
    grid.reload(9);
    grid.source.askedIndexes.clear();
    // Only the captions of row 1 (y 220 to 234).
    const QImage image = drawInto(*grid.view, NSMakeRect(0, 222, 310, 10));

    // Row 1's pictures (red, filling their squares) are drawn although they lie outside d.
    EXPECT_EQ(image.pixel(50, 150), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(260, 150), qRgb(255, 0, 0));
    EXPECT_TRUE(rowUntouched(image, 0, 117));
    EXPECT_TRUE(rowUntouched(image, 240, image.height()));
    for (int i : grid.source.askedIndexes) {
        EXPECT_TRUE(i >= 3 && i < 6) << i;
    }
}

TEST(IconViewDrawing, TheSelectionFrameHugsTheFittedPicture) {
    Grid grid(310);
    // A wide picture: 95 x 47.5 centred in the square (4, 4, 95, 95).
    grid.source.picture = IconImage::fromImage(FakeSource::solid(QSize(190, 95), Qt::red));
    grid.reload(3);
    grid.view->selection().insert(0);
    const QImage image = drawInto(*grid.view, NSMakeRect(0, 0, 310, 117));

    const int top = 28;    // 4 + 23.75 on whole pixels
    const int bottom = 75; // top + 47.5 on whole pixels
    EXPECT_TRUE(isFrameColour(image.pixel(50, top))) << std::hex << image.pixel(50, top);
    EXPECT_TRUE(isFrameColour(image.pixel(50, top - 1)));
    EXPECT_TRUE(isFrameColour(image.pixel(50, bottom)));
    EXPECT_TRUE(isFrameColour(image.pixel(4, 50)));
    EXPECT_EQ(image.pixel(50, top + 2), qRgb(255, 0, 0));
    // Above the frame, inside the square: background, not a square frame.
    EXPECT_EQ(image.pixel(50, 10), kWhite);
    // Unselected neighbours have no frame.
    EXPECT_EQ(image.pixel(150, top + 2), qRgb(255, 0, 0));
    EXPECT_FALSE(isFrameColour(image.pixel(150, top - 1)));
}

TEST(IconViewDrawing, CaptionsStayInTheirRectangle) {
    Grid grid(310);
    grid.reload(3);
    struct LongLabels : FakeSource {
        QString labelForIndex(IconView*, int) override { return QString(200, QLatin1Char('W')); }
    } source;
    source.count = 3;
    grid.view->setDataSource(&source);
    const QImage image = drawInto(*grid.view, NSMakeRect(0, 0, 310, 117));
    const NSRect caption = grid.view->textRect(0);
    // Ink only within the caption's width: the text was cut short, not drawn on.
    bool ink = false;
    for (int y = static_cast<int>(caption.origin.y); y < caption.origin.y + caption.size.height; ++y) {
        for (int x = 0; x < 103; ++x) {
            const bool dark = qGray(image.pixel(x, y)) < 128;
            ink |= dark;
            if (dark) {
                EXPECT_GE(x, caption.origin.x);
                EXPECT_LT(x, caption.origin.x + caption.size.width);
            }
        }
    }
    EXPECT_TRUE(ink);
}

TEST(IconViewDrawing, ACellWithoutImageShowsItsCaptionOnly) {
    Grid grid(310);
    grid.source.noImages = true;
    grid.reload(3);
    grid.view->selection().insert(1);
    const QImage image = drawInto(*grid.view, NSMakeRect(0, 0, 310, 117));
    for (int y = 0; y < 103; ++y) {
        for (int x = 0; x < 310; ++x) {
            ASSERT_EQ(image.pixel(x, y), kWhite) << x << ", " << y;
        }
    }
    EXPECT_EQ(grid.view->scaledImageRect(1), NSRect{});
    // Nothing to hit: a click empties the selection.
    grid.view->selection().insert(1);
    QTest::mouseClick(grid.view, Qt::LeftButton, {}, QPoint(150, 50));
    EXPECT_TRUE(grid.view->selection().empty());
}

} // namespace
