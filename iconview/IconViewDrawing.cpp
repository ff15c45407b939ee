#include "iconview/IconView.h"
#include "platform/system/NotificationCenter.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <cmath>

namespace {

// The drop shadow under each picture: offset 3 right and 3 down, blurred over
// about 3 pixels, black at a third of full strength where it is solid.
constexpr qreal kShadowOffset = 3.0;
constexpr int kShadowLayers = 4;

void drawShadow(QPainter& painter, const QRectF& picture) {
    // Stacked rectangles growing by a pixel each build the blurred edge: the
    // solid core gets every layer, the outermost pixel one.
    const qreal layerAlpha = 1.0 - std::pow(1.0 - 1.0 / 3.0, 1.0 / kShadowLayers);
    const QColor colour = QColor::fromRgbF(0, 0, 0, static_cast<float>(layerAlpha));
    const QRectF shadow = picture.translated(kShadowOffset, kShadowOffset);
    for (int grow = -1; grow < kShadowLayers - 1; ++grow) {
        painter.fillRect(shadow.adjusted(-grow, -grow, grow, grow), colour);
    }
}

// A picture that cannot be shown: a grey frame with a torn-picture sign, so
// that the cell reads as a picture that is there but broken.
void drawBrokenPicture(QPainter& painter, const QRectF& square) {
    painter.save();
    painter.fillRect(square, QColor(236, 236, 236));
    painter.setPen(QPen(QColor(170, 170, 170), 1.0));
    painter.drawRect(square.adjusted(0.5, 0.5, -0.5, -0.5));
    const qreal side = std::min(square.width(), square.height()) / 3;
    const QRectF sign(square.center() - QPointF(side / 2, side / 2), QSizeF(side, side * 0.8));
    QPen pen(QColor(150, 150, 150), std::max(1.0, side / 16));
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // A picture's frame, a mountain in it, and the tear down its middle.
    const qreal x = sign.left();
    const qreal y = sign.top();
    const qreal w = sign.width();
    const qreal h = sign.height();
    QPolygonF left({QPointF(x + w * 0.45, y), QPointF(x, y), QPointF(x, y + h), QPointF(x + w * 0.4, y + h)});
    QPolygonF right(
        {QPointF(x + w * 0.55, y), QPointF(x + w, y), QPointF(x + w, y + h), QPointF(x + w * 0.6, y + h)});
    painter.drawPolyline(left);
    painter.drawPolyline(right);
    painter.drawPolyline(QPolygonF({QPointF(x + w * 0.45, y), QPointF(x + w * 0.52, y + h * 0.35),
                                    QPointF(x + w * 0.42, y + h * 0.65), QPointF(x + w * 0.5, y + h)}));
    painter.drawPolyline(QPolygonF({QPointF(x + w * 0.08, y + h * 0.85), QPointF(x + w * 0.3, y + h * 0.5),
                                    QPointF(x + w * 0.42, y + h * 0.65)}));
    painter.drawPolyline(QPolygonF({QPointF(x + w * 0.6, y + h * 0.6), QPointF(x + w * 0.75, y + h * 0.4),
                                    QPointF(x + w * 0.92, y + h * 0.85)}));
    painter.restore();
}

} // namespace

QRectF IconView::pixelAligned(NSRect r) const {
    const qreal ratio = devicePixelRatioF();
    const auto snap = [ratio](qreal v) {
        return std::round(v * ratio) / ratio;
    };
    const qreal left = snap(r.origin.x);
    const qreal top = snap(r.origin.y);
    return QRectF(left, top, snap(r.origin.x + r.size.width) - left, snap(r.origin.y + r.size.height) - top);
}

void IconView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    _drawingArrivals = !_arrivals.isEmpty() && (event->region() - _arrivals).isEmpty();
    _arrivals = QRegion();
    drawRect(painter, NSMakeRect(dirty.x(), dirty.y(), dirty.width(), dirty.height()));
    _drawingArrivals = false;
}

void IconView::drawRect(QPainter& painter, NSRect d) {
    if (!_drawingArrivals) {
        NotificationCenter::defaultCenter().postNotification(IconViewDraw, this);
    }
    painter.fillRect(QRectF(d.origin.x, d.origin.y, d.size.width, d.size.height), Qt::white);
    if (!_dataSource || imageSize() <= 0) {
        return;
    }
    // Whole rows, from the one holding d's top edge to the one holding its bottom edge.
    const int first = std::max(0, firstIndexInRect(d));
    const int after = indexAfterRect(d);
    if (first >= after) {
        return;
    }

    // Shadows, cast by white boxes where the pictures will be: until its
    // pixels arrive a picture shows as this empty box (the whole square
    // while its size is not known).
    painter.save();
    for (int i = first; i < after; ++i) {
        const QRectF r = pixelAligned(scaledImageRect(i));
        if (r.isEmpty()) {
            continue;
        }
        drawShadow(painter, r);
        painter.fillRect(r, Qt::white);
    }
    painter.restore();

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = first; i < after; ++i) {
        const IconImagePtr image = _dataSource->imageForIndex(this, i);
        const QRectF r = pixelAligned(scaledImageRect(i, image));
        if (!image || r.isEmpty()) {
            continue;
        }
        const QPointer<IconView> view(this);
        const IconImage* raw = image.get();
        const IconImage::StillWanted stillWanted = [view, raw]() {
            return view && view->showsImage(raw);
        };
        if (image->isBroken()) {
            drawBrokenPicture(painter, r);
        } else if (image->refersToFile() && !image->sizeKnown()) {
            // The loader reads the size with the pixels, fitted into the square.
            const qreal ratio = devicePixelRatioF();
            image->requestPixelsWithin(QSize(qRound(r.width() * ratio), qRound(r.height() * ratio)), this,
                                       stillWanted);
        } else {
            image->drawInRect(painter, r, 1.0, this, stillWanted);
        }
    }
    painter.restore();

    painter.save();
    painter.setFont(_labelAttributes.font);
    painter.setPen(_labelAttributes.colour.value_or(QColor(Qt::black)));
    const QFontMetricsF metrics(_labelAttributes.font, painter.device());
    for (int i = first; i < after; ++i) {
        const NSRect t = textRect(i);
        const QRectF box(t.origin.x, t.origin.y, t.size.width, t.size.height);
        const QString caption =
            metrics.elidedText(_dataSource->labelForIndex(this, i), Qt::ElideRight, box.width());
        painter.drawText(box, static_cast<int>(_labelAttributes.alignment) | Qt::TextSingleLine, caption);
    }
    painter.restore();

    painter.save();
    QPen frame(QColor::fromRgbF(0.0f, 0.5f, 1.0f, 1.0f));
    frame.setWidthF(2.0);
    frame.setJoinStyle(Qt::MiterJoin);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    for (auto it = _selection.lower_bound(first); it != _selection.end() && *it < after; ++it) {
        const QRectF r = pixelAligned(scaledImageRect(*it));
        if (!r.isEmpty()) {
            painter.drawRect(r);
        }
    }
    painter.restore();

    const int focused = focusedIndex();
    if (hasFocus() && focused >= first && focused < after) {
        painter.save();
        QPen ring(palette().color(QPalette::Highlight));
        ring.setStyle(Qt::DotLine);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focusRingRect());
        painter.restore();
    }
}

int IconView::focusedIndex() const {
    return _selection.empty() ? 0 : _cursorPos;
}

QRectF IconView::focusRingRect() const {
    const NSRect r = imageRect(std::max(focusedIndex(), 0));
    return QRectF(r.origin.x, r.origin.y, r.size.width, r.size.height).adjusted(-2.5, -2.5, 2.5, 2.5);
}
