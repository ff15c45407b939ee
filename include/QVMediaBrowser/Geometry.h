#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QVMediaBrowser/Export.h>

#include <cstdint>
#include <optional>

class QImage;
class QPainter;
class QScrollArea;

// Points, sizes and rectangles of single-precision floats, used for all of the
// grid's geometry. Functions that speak of top and bottom count y upwards: a
// rectangle's bottom edge is its y, its top edge y + height.
struct QVMB_EXPORT NSPoint {
    float x = 0;
    float y = 0;
};

struct QVMB_EXPORT NSSize {
    float width = 0;
    float height = 0;
};

struct QVMB_EXPORT NSRect {
    NSPoint origin;
    NSSize size;
};

inline bool operator==(NSPoint a, NSPoint b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator==(NSSize a, NSSize b) {
    return a.width == b.width && a.height == b.height;
}
inline bool operator==(NSRect a, NSRect b) {
    return a.origin == b.origin && a.size == b.size;
}

// A rectangle of 16-bit integers in the order top, left, bottom, right.
struct QVMB_EXPORT Rect {
    std::int16_t top = 0;
    std::int16_t left = 0;
    std::int16_t bottom = 0;
    std::int16_t right = 0;
};

// Placement flags of QVScaleRectIntoRect: the low four bits place the scaled
// rectangle horizontally, the next four vertically. Only these exact values
// are recognised on each axis.
enum : int {
    QVAlignLeft = 0x01,
    QVAlignHCentre = 0x02,
    QVAlignRight = 0x04,
    QVAlignTop = 0x10,
    QVAlignVCentre = 0x20,
    QVAlignBottom = 0x40,
};

// Text attributes for drawAtPoint: a font, the alignment of the text within
// the box it is measured to, and a colour (none draws with the painter's pen).
struct QVMB_EXPORT TextAttributes {
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    std::optional<QColor> colour;
};

inline NSPoint NSMakePoint(float x, float y) {
    return {x, y};
}
inline NSSize NSMakeSize(float width, float height) {
    return {width, height};
}
inline NSRect NSMakeRect(float x, float y, float width, float height) {
    return {{x, y}, {width, height}};
}

QVMB_EXPORT NSPoint QVAddPoints(NSPoint a, NSPoint b);
QVMB_EXPORT void QVAddPointToPoint(NSPoint a, NSPoint* b);
QVMB_EXPORT NSPoint QVPointDifference(NSPoint a, NSPoint b);
QVMB_EXPORT NSSize QVSizeFromPointDifference(NSPoint a, NSPoint b);
QVMB_EXPORT NSPoint QVPointAlongVector(NSPoint v, float t);
QVMB_EXPORT NSPoint QVPointBetweenPoints(NSPoint a, NSPoint b, float t);
QVMB_EXPORT NSPoint QVFloorPoint(NSPoint p);

QVMB_EXPORT float QVDotProduct(NSPoint a, NSPoint b);
QVMB_EXPORT float QV2DCrossProduct(NSPoint a, NSPoint b);
QVMB_EXPORT float QVVectorNormSquared(NSPoint v);
QVMB_EXPORT float QVVectorNorm(NSPoint v);
// Divides v by its length in place. The zero vector has no direction: passing
// it is the caller's mistake and leaves not-a-number components.
QVMB_EXPORT void QVNormaliseVector(NSPoint* v);
QVMB_EXPORT float QVDistanceBetweenPointsSquared(NSPoint a, NSPoint b);
QVMB_EXPORT float QVDistanceBetweenPoints(NSPoint a, NSPoint b);
// Whether p lies within the squared distance limit of the segment from a to b.
QVMB_EXPORT bool QVPointOnLine(NSPoint p, NSPoint a, NSPoint b, float limit);

QVMB_EXPORT NSPoint QVMidPoint(NSRect r);
QVMB_EXPORT NSPoint QVBottomLeft(NSRect r);
QVMB_EXPORT NSPoint QVBottomRight(NSRect r);
QVMB_EXPORT NSPoint QVTopLeft(NSRect r);
QVMB_EXPORT NSPoint QVTopRight(NSRect r);
// Origin a, size b - a; not normalised, so the size may be negative.
QVMB_EXPORT NSRect QVMakeRectFromPoints(NSPoint a, NSPoint b);
QVMB_EXPORT NSRect QVScaleRect(NSRect r, float k);
QVMB_EXPORT NSSize QVScaleSize(NSSize s, float k);
QVMB_EXPORT NSSize QVMinSize(NSSize a, NSSize b);
// s scaled with its proportions kept until it touches target on one axis and
// fits on the other. An axis on which s has no extent does not limit the
// scale; when neither axis limits it, s is returned unchanged.
QVMB_EXPORT NSSize QVScaleSizeToSize(NSSize s, NSSize target);
// src's size scaled into dst as QVScaleSizeToSize does, placed by flags (the
// QVAlign values). An unrecognised value on an axis puts that coordinate at 0.
QVMB_EXPORT NSRect QVScaleRectIntoRect(NSRect src, NSRect dst, int flags);
// The rectangle's coordinates truncated towards zero, each kept to its low 16
// bits (not-a-number and infinities give 0). No change of orientation.
QVMB_EXPORT Rect QVRectFromNSRect(NSRect r);

// The whole image as a source rectangle: origin (0, 0), the image's size in
// device-independent pixels.
QVMB_EXPORT NSRect srcRect(const QImage& image);

// Whether inner lies within outer horizontally (ContainsRectH) or vertically
// (ContainsRectV); shared edges count as inside, not-a-number as outside.
QVMB_EXPORT bool ContainsRectH(NSRect outer, NSRect inner);
QVMB_EXPORT bool ContainsRectV(NSRect outer, NSRect inner);

// Scrolls the scroll area by the least amount on each axis that shows r, given
// in the coordinates of the scroll area's widget. Always sets both scroll
// positions, also when they do not change.
QVMB_EXPORT void MakeRectVisible(QScrollArea* scrollArea, NSRect r);

// Draws text with painter so that the point lies at (xFraction, yFraction) of
// the text's measured box, measured from its top-left corner: (0, 0) puts the
// corner on the point, (0.5, 0.5) centres the text on it.
QVMB_EXPORT void drawAtPoint(QPainter* painter, const QString& text, NSPoint point, float xFraction,
                             float yFraction, const TextAttributes& attributes);

// Kept for hosts that call them; they draw nothing.
QVMB_EXPORT void drawBottomJustifiedAtPoint(const QString& text, NSPoint point);
QVMB_EXPORT void drawCentredAtPoint(const QString& text, NSPoint point);
QVMB_EXPORT void drawRightJustifiedAtPoint(const QString& text, NSPoint point);
