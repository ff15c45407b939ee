#include "iconview/IconView.h"
#include "iconview/LocalDropRefuser.h"
#include "platform/system/FileTransferPortal.h"
#include "platform/system/NotificationCenter.h"

#include <QApplication>
#include <QDrag>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// Inside: left and top edges included, right and bottom edges not.
bool pointInRect(NSPoint p, NSRect r) {
    return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
           p.y < r.origin.y + r.size.height;
}

NSPoint eventPoint(const QMouseEvent* event) {
    const QPointF p = event->position();
    return NSMakePoint(static_cast<float>(p.x()), static_cast<float>(p.y()));
}

} // namespace

void IconView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    _clickCount = 1;
    _pressPos = event->position().toPoint();
    _dragTried = false;
    mouseDown(eventPoint(event), event->modifiers());
}

void IconView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    // The second press of a double click: a mouse-down like any other, whose
    // release then reports the double click.
    _clickCount = 2;
    _pressPos = event->position().toPoint();
    _dragTried = false;
    mouseDown(eventPoint(event), event->modifiers());
}

void IconView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (_clickCount == 2) {
        NotificationCenter::defaultCenter().postNotification(IconViewDoubleClick, this);
    }
    _clickCount = 0;
}

void IconView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || _dragTried) {
        return;
    }
    if ((event->position().toPoint() - _pressPos).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    mouseDragged(event);
}

void IconView::mouseDown(NSPoint p, Qt::KeyboardModifiers modifiers) {
    if (count() == 0) {
        return;
    }
    const int i = indexAt(p);
    if (i < 0 || !pointInRect(p, scaledImageRect(i))) {
        // A gap, an empty part of a picture square or a cell without a picture.
        _selection.clear();
    } else {
        _cursorPos = i;
        const bool selected = _selection.count(i) > 0;
        if (modifiers & Qt::ControlModifier) {
            if (selected) {
                _selection.erase(i);
            } else {
                _selection.insert(i);
            }
        } else if (modifiers & Qt::ShiftModifier) {
            if (selected) {
                _selection.erase(i);
            } else if (_selection.empty()) {
                _selection.insert(i);
            } else {
                const int f = *_selection.begin();
                for (int j = std::min(i, f); j <= std::max(i, f); ++j) {
                    _selection.insert(j);
                }
            }
        } else if (!selected) {
            _selection = {i};
        }
    }
    selectionChanged();
}

void IconView::mouseDragged(QMouseEvent* event) {
    std::optional<DragPayload> payload = prepareDrag(eventPoint(event));
    if (!payload) {
        return;
    }
    // One press starts at most one drag: the drag loop takes the mouse until the drop.
    _dragTried = true;
    _clickCount = 0;
    // Sandboxed targets take the files through the desktop's transfer portal.
    FileTransferPortal::sessionPortal().offerFiles(payload->mimeData.get());
    auto* drag = new QDrag(this);
    drag->setMimeData(payload->mimeData.release());
    drag->setPixmap(QPixmap::fromImage(payload->image));
    drag->setHotSpot(event->position().toPoint() - payload->imageOrigin);
    LocalDropRefuser refuser(drag->mimeData(), window());
    qApp->installEventFilter(&refuser);
    drag->exec(draggingSourceOperationMaskForLocal(false), Qt::CopyAction);
    qApp->removeEventFilter(&refuser);
    // The drag manager deletes the drag object.
}

std::optional<IconView::DragPayload> IconView::prepareDrag(NSPoint p) {
    if (_selection.empty() || !_dataSource) {
        return std::nullopt;
    }
    const int i = indexAt(p);
    if (i < 0) {
        return std::nullopt;
    }
    const IconImagePtr image = _dataSource->imageForIndex(this, i);
    const NSRect r = scaledImageRect(i, image);
    if (_selection.count(i) == 0 || !pointInRect(p, r)) {
        return std::nullopt;
    }
    DragPayload payload;
    payload.image = makeDragImage(image, r);
    payload.imageOrigin =
        QPoint(static_cast<int>(std::lround(r.origin.x)), static_cast<int>(std::lround(r.origin.y)));
    payload.mimeData = _dataSource->newPasteboard(this, _selection);
    if (!_dataSource->writeRowsWithIndexes(this, _selection, payload.mimeData.get())) {
        return std::nullopt;
    }
    return payload;
}

Qt::DropActions IconView::draggingSourceOperationMaskForLocal(bool local) {
    return local ? Qt::IgnoreAction : Qt::CopyAction;
}

QImage IconView::makeDragImage(const IconImagePtr& image, NSRect r) const {
    const qreal ratio = devicePixelRatioF();
    const float w = r.size.width;
    const float h = r.size.height;
    QImage drag(QSize(static_cast<int>(std::ceil(w * ratio)), static_cast<int>(std::ceil(h * ratio))),
                QImage::Format_ARGB32_Premultiplied);
    drag.setDevicePixelRatio(ratio);
    drag.fill(Qt::transparent);
    QPainter painter(&drag);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    image->drawInRect(painter, QRectF(0, 0, w, h), 0.6);

    const int selected = static_cast<int>(_selection.size());
    if (selected > 1) {
        const QString number = QString::number(selected);
        NSRect badge = srcRect(_badgeImg);
        if (_badgeImg.isNull()) {
            // No badge picture: the count keeps the place a badge its size would have.
            const QFontMetricsF metrics(_badgeAttributes.font, &drag);
            const float side = static_cast<float>(metrics.height()) + 4;
            badge.size =
                NSMakeSize(std::max(side, static_cast<float>(metrics.horizontalAdvance(number)) + 8), side);
        }
        // The badge's bottom-right corner 2 in from the right edge and 2 up
        // from the bottom edge, counting y upwards from the bottom.
        const NSPoint corner =
            QVPointDifference(QVPointDifference(QVBottomRight(NSMakeRect(0, 0, w, h)), QVBottomRight(badge)),
                              NSMakePoint(2, -2));
        const NSPoint topLeft = NSMakePoint(corner.x, h - corner.y - badge.size.height);
        if (!_badgeImg.isNull()) {
            painter.save();
            painter.setOpacity(0.6);
            painter.drawImage(QPointF(topLeft.x, topLeft.y), _badgeImg);
            painter.restore();
        }
        drawAtPoint(&painter, number, QVAddPoints(topLeft, QVMidPoint(badge)), 0.5f, 0.5f, _badgeAttributes);
    }
    return drag;
}

void IconView::clampCursor() {
    const int n = count();
    if (n > 0) {
        _cursorPos = std::clamp(_cursorPos, 0, n - 1);
    }
}

void IconView::moveLeft() {
    clampCursor();
    _cursorPos = std::max(_cursorPos - 1, 0);
    cursorMoved();
}

void IconView::moveRight() {
    clampCursor();
    _cursorPos = std::min(_cursorPos + 1, count() - 1);
    cursorMoved();
}

void IconView::moveUp() {
    clampCursor();
    if (_cursorPos - 3 >= 0) {
        _cursorPos -= 3;
        cursorMoved();
    }
}

void IconView::moveDown() {
    clampCursor();
    if (_cursorPos + 3 < count()) {
        _cursorPos += 3;
        cursorMoved();
    }
}

void IconView::cursorMoved() {
    if (count() <= 0) {
        return;
    }
    clampCursor();
    _selection = {_cursorPos};
    MakeRectVisible(_scrollArea, boundRect(_cursorPos));
    selectionChanged();
}

void IconView::moveCursorTo(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    _cursorPos = index;
    cursorMoved();
}

void IconView::toggleSelected(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    _cursorPos = index;
    if (_selection.erase(index) == 0) {
        _selection.insert(index);
    }
    selectionChanged();
}

void IconView::selectAll() {
    const int n = count();
    if (n > 0) {
        for (int i = 0; i < n; ++i) {
            _selection.insert(_selection.end(), i);
        }
    } else {
        _selection.clear();
    }
    selectionChanged();
}

void IconView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    // Right to left, the arrow pointing at the next item is the left one.
    const bool reversed = isRightToLeft();
    switch (event->key()) {
    case Qt::Key_Left:
        reversed ? moveRight() : moveLeft();
        break;
    case Qt::Key_Right:
        reversed ? moveLeft() : moveRight();
        break;
    case Qt::Key_Up:
        moveUp();
        break;
    case Qt::Key_Down:
        moveDown();
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}
