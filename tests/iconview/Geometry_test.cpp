#include "iconview/Geometry.h"

#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

void expectRect(NSRect r, float x, float y, float w, float h) {
    EXPECT_FLOAT_EQ(r.origin.x, x);
    EXPECT_FLOAT_EQ(r.origin.y, y);
    EXPECT_FLOAT_EQ(r.size.width, w);
    EXPECT_FLOAT_EQ(r.size.height, h);
}

TEST(Geometry, MultiplyAddsRoundOnceToSinglePrecision) {
    // (1 + 2^-12)^2 - 1 = 2^-11 + 2^-24: representable, but lost if the square is rounded to float first.
    const float e = 1.0f + std::ldexp(1.0f, -12);
    const float exact = std::ldexp(1.0f, -11) + std::ldexp(1.0f, -24);
    EXPECT_EQ(QVDotProduct({1, e}, {-1, e}), exact);
    EXPECT_EQ(QVPointBetweenPoints({-1, 0}, {std::ldexp(1.0f, -12), 0}, e).x, exact);

    EXPECT_EQ(QVPointBetweenPoints({1, 2}, {5, 10}, 0), NSMakePoint(1, 2));
    EXPECT_EQ(QVPointBetweenPoints({1, 2}, {5, 10}, 1), NSMakePoint(5, 10));
    EXPECT_EQ(QVPointBetweenPoints({1, 2}, {5, 10}, 2), NSMakePoint(9, 18));
    EXPECT_EQ(QVMidPoint(NSMakeRect(10, 20, 5, 7)), NSMakePoint(12.5f, 23.5f));
}

TEST(Geometry, PointsAndCornersCountYUpwards) {
    const NSRect r = NSMakeRect(1, 2, 10, 20);
    EXPECT_EQ(QVBottomLeft(r), NSMakePoint(1, 2));
    EXPECT_EQ(QVBottomRight(r), NSMakePoint(11, 2));
    EXPECT_EQ(QVTopLeft(r), NSMakePoint(1, 22));
    EXPECT_EQ(QVTopRight(r), NSMakePoint(11, 22));

    NSPoint p{1, 1};
    QVAddPointToPoint({2, 3}, &p);
    EXPECT_EQ(p, NSMakePoint(3, 4));
    EXPECT_EQ(QVFloorPoint({-0.5f, 1.5f}), NSMakePoint(-1, 1));
    // Not normalised: b left of and below a gives a negative size.
    expectRect(QVMakeRectFromPoints({5, 5}, {2, 1}), 5, 5, -3, -4);
    EXPECT_FLOAT_EQ(QVDistanceBetweenPoints({0, 0}, {3, 4}), 5);

    NSPoint v{3, 4};
    QVNormaliseVector(&v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
}

TEST(Geometry, PointOnLineMeasuresToTheSegmentNotTheLine) {
    // Degenerate segment: the distance to a, no division by zero.
    EXPECT_TRUE(QVPointOnLine({3, 4}, {0, 0}, {0, 0}, 25));
    EXPECT_FALSE(QVPointOnLine({3, 4}, {0, 0}, {0, 0}, 24.9f));
    EXPECT_TRUE(QVPointOnLine({0, 0}, {0, 0}, {0, 0}, 0));
    EXPECT_TRUE(QVPointOnLine({7, 7}, {7, 7}, {10, 0}, 0));
    // Beyond b on the line itself: measured to b.
    EXPECT_FALSE(QVPointOnLine({13, 0}, {0, 0}, {10, 0}, 8));
    EXPECT_TRUE(QVPointOnLine({13, 0}, {0, 0}, {10, 0}, 9));
    // Beside the middle: measured to the foot of the perpendicular.
    EXPECT_TRUE(QVPointOnLine({5, 2}, {0, 0}, {10, 0}, 4));
    EXPECT_FALSE(QVPointOnLine({5, 2}, {0, 0}, {10, 0}, 3.9f));
    // A segment too short for its squared length to be a float.
    const float tiny = 1e-30f;
    EXPECT_TRUE(QVPointOnLine({1e10f, 0}, {0, 0}, {tiny, 0}, 1e21f));
}

TEST(Geometry, ScaleRectIntoRectPlacesByTheExactFlags) {
    const NSRect src = NSMakeRect(99, 99, 200, 100);
    const NSRect dst = NSMakeRect(10, 20, 50, 50);
    expectRect(QVScaleRectIntoRect(src, dst, QVAlignHCentre | QVAlignVCentre), 10, 32.5f, 50, 25);
    expectRect(QVScaleRectIntoRect(src, dst, QVAlignLeft | QVAlignTop), 10, 45, 50, 25);
    expectRect(QVScaleRectIntoRect(src, dst, QVAlignRight | QVAlignBottom), 10, 20, 50, 25);
    expectRect(QVScaleRectIntoRect(src, dst, 0), 0, 0, 50, 25);
    // Combinations are not recognised: that coordinate goes to the origin.
    expectRect(QVScaleRectIntoRect(src, dst, 0x03 | QVAlignBottom), 0, 20, 50, 25);
    expectRect(QVScaleRectIntoRect(src, dst, QVAlignLeft | 0x30), 10, 0, 50, 25);
    // Scaled up too.
    expectRect(QVScaleRectIntoRect(NSMakeRect(0, 0, 10, 20), dst, 0x22), 22.5f, 20, 25, 50);
}

TEST(Geometry, ScaleSizeToSizeNeverDividesByZero) {
    EXPECT_EQ(QVScaleSizeToSize({200, 100}, {50, 50}), NSMakeSize(50, 25));
    // The zero-width source does not limit the scale: the height decides.
    EXPECT_EQ(QVScaleSizeToSize({0, 50}, {100, 100}), NSMakeSize(0, 100));
    EXPECT_EQ(QVScaleSizeToSize({50, 0}, {100, 30}), NSMakeSize(100, 0));
    // A zero target on a limiting axis scales to nothing.
    EXPECT_EQ(QVScaleSizeToSize({0, 50}, {100, 0}), NSMakeSize(0, 0));
    EXPECT_EQ(QVScaleSizeToSize({40, 50}, {0, 0}), NSMakeSize(0, 0));
    // Nothing limits an empty source: it stays as it is, with no not-a-number.
    EXPECT_EQ(QVScaleSizeToSize({0, 0}, {100, 100}), NSMakeSize(0, 0));
    EXPECT_EQ(QVScaleSizeToSize({0, 0}, {0, 0}), NSMakeSize(0, 0));
    expectRect(QVScaleRectIntoRect(NSMakeRect(0, 0, 0, 0), NSMakeRect(10, 20, 50, 50), 0x22), 35, 45, 0, 0);
}

TEST(Geometry, RectFromNSRectTruncatesAndKeepsTheLow16Bits) {
    Rect r = QVRectFromNSRect(NSMakeRect(1.9f, -1.9f, 10, 10));
    EXPECT_EQ(r.top, -1);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 8);
    EXPECT_EQ(r.right, 11);

    r = QVRectFromNSRect(NSMakeRect(70000, -70000, 32768 - 70000, -1));
    EXPECT_EQ(r.left, 70000 - 65536);
    EXPECT_EQ(r.top, -70000 + 65536);
    EXPECT_EQ(r.right, -32768);
    EXPECT_EQ(r.bottom, -70001 + 131072 - 65536);
    // Far beyond the 32-bit range: the exact integer's low bits (2^40 has none).
    EXPECT_EQ(QVRectFromNSRect(NSMakeRect(std::ldexp(1.0f, 40), 0, 0, 0)).left, 0);
    EXPECT_EQ(QVRectFromNSRect(NSMakeRect(std::ldexp(1.0f, 40) + std::ldexp(1.0f, 17), 0, 0, 0)).left, 0);

    r = QVRectFromNSRect(NSMakeRect(kNaN, kInf, -kInf, 5));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
}

TEST(Geometry, ContainsRectCountsSharedEdgesInAndNotANumberOut) {
    const NSRect outer = NSMakeRect(0, 0, 100, 50);
    EXPECT_TRUE(ContainsRectH(outer, outer));
    EXPECT_TRUE(ContainsRectV(outer, outer));
    EXPECT_TRUE(ContainsRectH(outer, NSMakeRect(90, 999, 10, 999)));
    EXPECT_FALSE(ContainsRectH(outer, NSMakeRect(90.5f, 0, 10, 0)));
    EXPECT_FALSE(ContainsRectV(outer, NSMakeRect(0, -0.5f, 0, 10)));

    EXPECT_FALSE(ContainsRectH(outer, NSMakeRect(kNaN, 0, 10, 10)));
    EXPECT_FALSE(ContainsRectH(outer, NSMakeRect(0, 0, kNaN, 10)));
    EXPECT_FALSE(ContainsRectH(NSMakeRect(kNaN, 0, 100, 100), NSMakeRect(0, 0, 10, 10)));
    EXPECT_FALSE(ContainsRectV(outer, NSMakeRect(0, kNaN, 10, 10)));
    EXPECT_FALSE(ContainsRectV(NSMakeRect(0, 0, 100, kNaN), NSMakeRect(0, 0, 10, 10)));
}

class MakeRectVisibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        area.setFrameShape(QFrame::NoFrame);
        area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.setWidgetResizable(false);
        auto* document = new QWidget;
        document->resize(1000, 3000);
        area.setWidget(document);
        area.resize(200, 300);
        area.show();
    }
    QPoint offset() const { return {area.horizontalScrollBar()->value(), area.verticalScrollBar()->value()}; }
    void scrollTo(int x, int y) {
        area.horizontalScrollBar()->setValue(x);
        area.verticalScrollBar()->setValue(y);
    }
    QScrollArea area;
};

TEST_F(MakeRectVisibleTest, ScrollsTheLeastOnEachAxis) {
    scrollTo(100, 1000);
    MakeRectVisible(&area, NSMakeRect(150, 1100, 50, 50));
    EXPECT_EQ(offset(), QPoint(100, 1000));

    // Far edges meet when the rectangle lies after the visible part.
    MakeRectVisible(&area, NSMakeRect(400, 1500, 50, 100));
    EXPECT_EQ(offset(), QPoint(250, 1300));
    // Near edges meet when it lies before.
    MakeRectVisible(&area, NSMakeRect(20, 700, 50, 100));
    EXPECT_EQ(offset(), QPoint(20, 700));
    EXPECT_EQ(area.widget()->pos(), QPoint(-20, -700));
}

TEST_F(MakeRectVisibleTest, LargeRectanglesShowTheirNearOrFarEdge) {
    scrollTo(0, 1000);
    // Starts before the visible part: shown from its near edge.
    MakeRectVisible(&area, NSMakeRect(0, 900, 100, 1000));
    EXPECT_EQ(offset().y(), 900);
    // Starts inside it: shown up to its far edge.
    MakeRectVisible(&area, NSMakeRect(0, 1000, 100, 1000));
    EXPECT_EQ(offset().y(), 1700);
    // Not-a-number leaves the position alone.
    MakeRectVisible(&area, NSMakeRect(kNaN, kNaN, 10, 10));
    EXPECT_EQ(offset(), QPoint(0, 1700));
}

// The bounding box of the pixels that are not white.
QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

TEST(Geometry, DrawAtPointPlacesTheTextByFractionsOfItsSize) {
    TextAttributes attributes;
    attributes.font.setPixelSize(12);
    attributes.colour = Qt::black;
    const auto draw = [&](const QString& text, float fx, float fy) {
        QImage image(200, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        drawAtPoint(&painter, text, {100, 30}, fx, fy, attributes);
        return inkBox(image);
    };
    const QRect centred = draw(QStringLiteral("MMMM"), 0.5f, 0.5f);
    ASSERT_FALSE(centred.isNull());
    EXPECT_NEAR(centred.center().x(), 100, 2);
    EXPECT_NEAR(centred.center().y(), 30, 4);

    const QRect ending = draw(QStringLiteral("MMMM"), 1, 0);
    EXPECT_LE(ending.right(), 100);
    EXPECT_GE(ending.top(), 30);
    EXPECT_TRUE(draw(QString(), 0.5f, 0.5f).isNull());
}

} // namespace
