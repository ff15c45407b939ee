#include "iconview/Geometry.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// a + b·c with one rounding to single precision.
float mulAdd(float a, float b, float c) {
    return static_cast<float>(static_cast<double>(a) + static_cast<double>(b) * static_cast<double>(c));
}

// The factor that scales (sw, sh) to fit (tw, th) touching on one axis. An
// axis without source extent does not limit the factor (its ratio would be
// infinite or 0/0); nor does one whose ratio is not a number.
float fitScale(NSSize s, NSSize target) {
    std::optional<float> k;
    const auto limit = [&k](float sourceExtent, float targetExtent) {
        if (sourceExtent == 0) {
            return;
        }
        const float ratio = targetExtent / sourceExtent;
        if (std::isnan(ratio)) {
            return;
        }
        if (!k || ratio < *k) {
            k = ratio;
        }
    };
    limit(s.width, target.width);
    limit(s.height, target.height);
    return k.value_or(1.0f);
}

// The low 16 bits of the value truncated towards zero. Computed on the exact
// integer, so values beyond the 32-bit range wrap instead of being undefined.
std::int16_t low16(float value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    double wrapped = std::fmod(std::trunc(static_cast<double>(value)), 65536.0);
    if (wrapped < 0) {
        wrapped += 65536.0;
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(wrapped));
}

// A scroll position for a scroll bar; a value that is not a number keeps the current one.
int scrollValue(float value, int current) {
    if (std::isnan(value)) {
        return current;
    }
    const double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(std::clamp(static_cast<double>(value), -limit, limit)));
}

} // namespace

NSPoint QVAddPoints(NSPoint a, NSPoint b) {
    return {a.x + b.x, a.y + b.y};
}

void QVAddPointToPoint(NSPoint a, NSPoint* b) {
    b->x += a.x;
    b->y += a.y;
}

NSPoint QVPointDifference(NSPoint a, NSPoint b) {
    return {a.x - b.x, a.y - b.y};
}

NSSize QVSizeFromPointDifference(NSPoint a, NSPoint b) {
    return {a.x - b.x, a.y - b.y};
}

NSPoint QVPointAlongVector(NSPoint v, float t) {
    return {t * v.x, t * v.y};
}

NSPoint QVPointBetweenPoints(NSPoint a, NSPoint b, float t) {
    return {mulAdd(a.x, t, b.x - a.x), mulAdd(a.y, t, b.y - a.y)};
}

NSPoint QVFloorPoint(NSPoint p) {
    return {std::floor(p.x), std::floor(p.y)};
}

float QVDotProduct(NSPoint a, NSPoint b) {
    return mulAdd(a.x * b.x, a.y, b.y);
}

float QV2DCrossProduct(NSPoint a, NSPoint b) {
    return a.x * b.y - a.y * b.x;
}

float QVVectorNormSquared(NSPoint v) {
    return mulAdd(v.x * v.x, v.y, v.y);
}

float QVVectorNorm(NSPoint v) {
    return std::sqrt(QVVectorNormSquared(v));
}

void QVNormaliseVector(NSPoint* v) {
    const float norm = QVVectorNorm(*v);
    v->x /= norm;
    v->y /= norm;
}

float QVDistanceBetweenPointsSquared(NSPoint a, NSPoint b) {
    return QVVectorNormSquared(QVPointDifference(a, b));
}

float QVDistanceBetweenPoints(NSPoint a, NSPoint b) {
    return std::sqrt(QVDistanceBetweenPointsSquared(a, b));
}

bool QVPointOnLine(NSPoint p, NSPoint a, NSPoint b, float limit) {
    const NSPoint d = QVPointDifference(b, a);
    const NSPoint w = QVPointDifference(p, a);
    const float dot = QVDotProduct(d, w);
    float dist2;
    if (dot <= 0) {
        dist2 = QVDistanceBetweenPointsSquared(p, a);
    } else {
        // A segment so short that its squared length underflows to zero has
        // t = +infinity: its nearest point is b.
        const float length2 = QVVectorNormSquared(d);
        const float t = length2 > 0 ? dot / length2 : 1.0f;
        if (t >= 1) {
            dist2 = QVDistanceBetweenPointsSquared(p, b);
        } else {
            const NSPoint q = {a.x + t * d.x, a.y + t * d.y};
            dist2 = QVDistanceBetweenPointsSquared(p, q);
        }
    }
    return dist2 <= limit;
}

NSPoint QVMidPoint(NSRect r) {
    return {mulAdd(r.origin.x, 0.5f, r.size.width), mulAdd(r.origin.y, 0.5f, r.size.height)};
}

NSPoint QVBottomLeft(NSRect r) {
    return r.origin;
}

NSPoint QVBottomRight(NSRect r) {
    return {r.origin.x + r.size.width, r.origin.y};
}

NSPoint QVTopLeft(NSRect r) {
    return {r.origin.x, r.origin.y + r.size.height};
}

NSPoint QVTopRight(NSRect r) {
    return {r.origin.x + r.size.width, r.origin.y + r.size.height};
}

NSRect QVMakeRectFromPoints(NSPoint a, NSPoint b) {
    return {a, QVSizeFromPointDifference(b, a)};
}

NSRect QVScaleRect(NSRect r, float k) {
    return {{r.origin.x * k, r.origin.y * k}, {r.size.width * k, r.size.height * k}};
}

NSSize QVScaleSize(NSSize s, float k) {
    return {k * s.width, k * s.height};
}

NSSize QVMinSize(NSSize a, NSSize b) {
    return {std::min(a.width, b.width), std::min(a.height, b.height)};
}

NSSize QVScaleSizeToSize(NSSize s, NSSize target) {
    return QVScaleSize(s, fitScale(s, target));
}

NSRect QVScaleRectIntoRect(NSRect src, NSRect dst, int flags) {
    const NSSize scaled = QVScaleSizeToSize(src.size, dst.size);
    float x = 0;
    switch (flags & 0x0F) {
    case QVAlignLeft:
        x = dst.origin.x;
        break;
    case QVAlignHCentre:
        x = mulAdd(dst.origin.x, dst.size.width - scaled.width, 0.5f);
        break;
    case QVAlignRight:
        x = dst.origin.x + dst.size.width - scaled.width;
        break;
    default:
        break;
    }
    float y = 0;
    switch (flags & 0xF0) {
    case QVAlignTop:
        y = dst.origin.y + dst.size.height - scaled.height;
        break;
    case QVAlignVCentre:
        y = mulAdd(dst.origin.y, dst.size.height - scaled.height, 0.5f);
        break;
    case QVAlignBottom:
        y = dst.origin.y;
        break;
    default:
        break;
    }
    return {{x, y}, scaled};
}

Rect QVRectFromNSRect(NSRect r) {
    Rect result;
    result.top = low16(r.origin.y);
    result.left = low16(r.origin.x);
    result.bottom = low16(r.origin.y + r.size.height);
    result.right = low16(r.origin.x + r.size.width);
    return result;
}

NSRect srcRect(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    const QSizeF size = image.deviceIndependentSize();
    return NSMakeRect(0, 0, static_cast<float>(size.width()), static_cast<float>(size.height()));
}

bool ContainsRectH(NSRect outer, NSRect inner) {
    return inner.origin.x >= outer.origin.x &&
           inner.origin.x + inner.size.width <= outer.origin.x + outer.size.width;
}

bool ContainsRectV(NSRect outer, NSRect inner) {
    return inner.origin.y >= outer.origin.y &&
           inner.origin.y + inner.size.height <= outer.origin.y + outer.size.height;
}

void MakeRectVisible(QScrollArea* scrollArea, NSRect r) {
    QWidget* document = scrollArea ? scrollArea->widget() : nullptr;
    if (!document) {
        return;
    }
    // The part of the document that the viewport shows, in document coordinates.
    const QWidget* viewport = scrollArea->viewport();
    const QRect visible =
        QRect(document->mapFrom(viewport, QPoint(0, 0)), viewport->size()).intersected(document->rect());
    const NSRect v = NSMakeRect(visible.x(), visible.y(), visible.width(), visible.height());

    float x = v.origin.x;
    if (!ContainsRectH(v, r)) {
        if (v.origin.x > r.origin.x) {
            x = r.origin.x;
        } else {
            x = v.origin.x + (r.origin.x + r.size.width) - (v.origin.x + v.size.width);
        }
    }
    float y = v.origin.y;
    if (!ContainsRectV(v, r)) {
        if (r.origin.y < v.origin.y) {
            y = r.origin.y;
        } else {
            y = v.origin.y + (r.origin.y + r.size.height) - (v.origin.y + v.size.height);
        }
    }
    // Scroll bar values are the document's offset in the viewport.
    QScrollBar* horizontal = scrollArea->horizontalScrollBar();
    QScrollBar* vertical = scrollArea->verticalScrollBar();
    horizontal->setValue(scrollValue(x, horizontal->value()));
    vertical->setValue(scrollValue(y, vertical->value()));
}

void drawAtPoint(QPainter* painter, const QString& text, NSPoint point, float xFraction, float yFraction,
                 const TextAttributes& attributes) {
    if (!painter || text.isEmpty()) {
        return;
    }
    const QFontMetricsF metrics(attributes.font, painter->device());
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    const QPointF origin(point.x - xFraction * size.width(), point.y - yFraction * size.height());

    painter->save();
    painter->setFont(attributes.font);
    if (attributes.colour) {
        painter->setPen(*attributes.colour);
    }
    painter->drawText(QRectF(origin, size), static_cast<int>(attributes.alignment) | Qt::TextSingleLine,
                      text);
    painter->restore();
}

void drawBottomJustifiedAtPoint(const QString&, NSPoint) {
}

void drawCentredAtPoint(const QString&, NSPoint) {
}

void drawRightJustifiedAtPoint(const QString&, NSPoint) {
}
