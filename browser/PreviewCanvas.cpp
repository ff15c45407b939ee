#include "browser/PreviewCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

PreviewCanvas::PreviewCanvas(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PreviewCanvas::setPicture(const QImage& image, QSize pictureSize) {
    _image = image;
    _pictureSize = pictureSize;
    _message.clear();
    _announced = false;
    if (_actualSize) {
        resize(actualSize().toSize());
    }
    update();
}

void PreviewCanvas::setMessage(const QString& text) {
    _message = text;
    _image = QImage();
    _pictureSize = QSize();
    update();
}

void PreviewCanvas::setActualSize(bool actualSize) {
    _actualSize = actualSize;
    update();
}

QSizeF PreviewCanvas::actualSize() const {
    if (_pictureSize.isEmpty()) {
        return {};
    }
    return QSizeF(_pictureSize) / devicePixelRatioF();
}

QSize PreviewCanvas::sizeHint() const {
    return _actualSize && !_pictureSize.isEmpty() ? actualSize().toSize() : QSize(640, 480);
}

QRectF PreviewCanvas::pictureRect() const {
    if (_image.isNull()) {
        return {};
    }
    const QSizeF full = actualSize();
    const QSizeF shown = _actualSize || (full.width() <= width() && full.height() <= height())
                             ? full
                             : full.scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

void PreviewCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark).darker(150));
    if (_image.isNull()) {
        painter.setPen(palette().color(QPalette::BrightText));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, _message);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF target = pictureRect();
    // Whole device pixels, so that a one-to-one picture is not resampled.
    const qreal ratio = devicePixelRatioF();
    const QRectF snapped(
        QPointF(std::round(target.x() * ratio) / ratio, std::round(target.y() * ratio) / ratio),
        target.size());
    painter.drawImage(snapped, _image);
    if (!_announced) {
        _announced = true;
        Q_EMIT pictureDrawn();
    }
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event) {
    _dragFrom = event->globalPosition().toPoint();
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    // A picture larger than the window is panned by dragging it.
    auto* area = parentWidget() ? qobject_cast<QScrollArea*>(parentWidget()->parentWidget()) : nullptr;
    if (!_actualSize || area == nullptr || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QPoint now = event->globalPosition().toPoint();
    const QPoint moved = now - _dragFrom;
    _dragFrom = now;
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->value() - moved.x());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() - moved.y());
}

void PreviewCanvas::mouseDoubleClickEvent(QMouseEvent*) {
    Q_EMIT doubleClicked();
}
