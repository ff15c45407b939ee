#include "iconview/IconImage.h"

#include "iconview/ThumbnailLoader.h"

#include <QPaintDevice>
#include <QPainter>

#include <cstdlib>

namespace {

// Decoded pixels within a pixel of the wanted size are good enough: the
// device size of a cell can round either way from one draw to the next.
bool closeEnough(QSize have, QSize want) {
    return !have.isEmpty() && std::abs(have.width() - want.width()) <= 1 &&
           std::abs(have.height() - want.height()) <= 1;
}

} // namespace

IconImagePtr IconImage::fromImage(const QImage& image) {
    IconImagePtr result(new IconImage);
    result->_pixels = image;
    result->_size = image.deviceIndependentSize().toSize();
    result->_sizeRead = true;
    return result;
}

IconImagePtr IconImage::referencingFile(const QString& path, const QString& fallbackPath) {
    IconImagePtr result(new IconImage);
    result->_path = path.isNull() ? QStringLiteral("") : path;
    result->_fallbackPath = fallbackPath;
    return result;
}

IconImagePtr IconImage::madeFromFile(const QString& path, Maker maker, Fallback fallback) {
    IconImagePtr result(new IconImage);
    result->_path = path.isNull() ? QStringLiteral("") : path;
    result->_maker = std::move(maker);
    result->_fallback = std::move(fallback);
    // Its size comes with its pixels.
    result->_sizeRead = true;
    return result;
}

void IconImage::requestPixels(const void* owner, const StillWanted& stillWanted) {
    if (!_maker || _failed || !_pixels.isNull()) {
        return;
    }
    ThumbnailLoader::instance()->request(shared_from_this(), owner, stillWanted);
}

void IconImage::requestPixelsWithin(QSize devicePixels, const void* owner, const StillWanted& stillWanted) {
    if (!refersToFile() || _maker || _failed || _sizeRead || devicePixels.isEmpty()) {
        return;
    }
    _wanted = devicePixels;
    ThumbnailLoader::instance()->request(shared_from_this(), owner, stillWanted);
}

void IconImage::drawInRect(QPainter& painter, const QRectF& target, qreal opacity, const void* owner,
                           const StillWanted& stillWanted) {
    if (target.isEmpty()) {
        return;
    }
    if (_maker) {
        requestPixels(owner, stillWanted);
    } else if (refersToFile() && !_failed && _sizeRead) {
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        const QSize needed(qRound(target.width() * ratio), qRound(target.height() * ratio));
        if (!needed.isEmpty() && !closeEnough(_pixels.size(), needed)) {
            _wanted = needed;
            ThumbnailLoader::instance()->request(shared_from_this(), owner, stillWanted);
        }
    }
    if (_pixels.isNull()) {
        return;
    }
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, _pixels);
    painter.restore();
}

void IconImage::receivePixels(const QImage& pixels, QSize upright) {
    _requested = false;
    if (_maker) {
        _pixels = pixels.isNull() && _fallback ? _fallback() : pixels;
        _failed = _pixels.isNull();
        _size = _pixels.deviceIndependentSize().toSize();
        return;
    }
    _sizeRead = true;
    if (!upright.isEmpty()) {
        _size = upright;
    } else if (_pixels.isNull()) {
        _size = QSize();
    }
    if (pixels.isNull()) {
        // Keep older pixels if there are any; never ask for this file again.
        _failed = true;
        return;
    }
    _pixels = pixels;
}

NSRect srcRect(const IconImagePtr& image) {
    if (!image) {
        return {};
    }
    const QSizeF size = image->size().expandedTo(QSizeF(0, 0));
    return NSMakeRect(0, 0, static_cast<float>(size.width()), static_cast<float>(size.height()));
}
