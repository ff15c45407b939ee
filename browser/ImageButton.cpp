#include "browser/ImageButton.h"

#include <QPainter>
#include <QPen>

ImageButton::ImageButton(QWidget* parent)
    : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ImageButton::setImage(const QImage& image) {
    _image = image;
    updateGeometry();
    update();
}

void ImageButton::setAlternateImage(const QImage& image) {
    _alternateImage = image;
    update();
}

QSize ImageButton::sizeHint() const {
    return _image.isNull() ? QSize(28, 28) : _image.deviceIndependentSize().toSize();
}

void ImageButton::paintEvent(QPaintEvent*) {
    const QImage& shown = isDown() && !_alternateImage.isNull() ? _alternateImage : _image;
    if (shown.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF size = shown.deviceIndependentSize().scaled(QSizeF(this->size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.drawImage(target, shown);
    if (hasFocus()) {
        // The keyboard's place: a ring in the highlight colour around the button.
        QPen ring(palette().color(QPalette::Highlight));
        ring.setWidthF(2.0);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}
