#include "iconview/AccessibleIconViewCell.h"

#include "iconview/IconView.h"

#include <QWidget>
#include <QWindow>

AccessibleIconViewCell::AccessibleIconViewCell(IconView* view, int index)
    : _view(view)
    , _index(index) {
}

bool AccessibleIconViewCell::isValid() const {
    return _view != nullptr && _index < _view->count();
}

QObject* AccessibleIconViewCell::object() const {
    return nullptr;
}

QWindow* AccessibleIconViewCell::window() const {
    return _view ? _view->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleIconViewCell::parent() const {
    return _view ? QAccessible::queryAccessibleInterface(_view.data()) : nullptr;
}

QAccessibleInterface* AccessibleIconViewCell::child(int) const {
    return nullptr;
}

int AccessibleIconViewCell::childCount() const {
    return 0;
}

int AccessibleIconViewCell::indexOfChild(const QAccessibleInterface*) const {
    return -1;
}

QAccessibleInterface* AccessibleIconViewCell::childAt(int, int) const {
    return nullptr;
}

QString AccessibleIconViewCell::text(QAccessible::Text t) const {
    if (!isValid() || _view->dataSource() == nullptr) {
        return {};
    }
    switch (t) {
    case QAccessible::Name:
        return _view->dataSource()->labelForIndex(_view, _index);
    case QAccessible::Description:
        return _view->dataSource()->statusForIndex(_view, _index);
    default:
        return {};
    }
}

void AccessibleIconViewCell::setText(QAccessible::Text, const QString&) {
}

QRect AccessibleIconViewCell::rect() const {
    if (!isValid()) {
        return {};
    }
    const NSRect r = _view->boundRect(_index);
    const QRect local = QRectF(r.origin.x, r.origin.y, r.size.width, r.size.height).toAlignedRect();
    return QRect(_view->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role AccessibleIconViewCell::role() const {
    return QAccessible::ListItem;
}

QAccessible::State AccessibleIconViewCell::state() const {
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.selectable = true;
    s.focusable = true;
    s.selected = _view->selection().count(_index) > 0;
    s.focused = _view->hasFocus() && _view->cursorPos() == _index;
    const NSRect visible = _view->documentVisibleRect();
    const NSRect cell = _view->boundRect(_index);
    const bool shown =
        _view->isVisible() &&
        QRectF(visible.origin.x, visible.origin.y, visible.size.width, visible.size.height)
            .intersects(QRectF(cell.origin.x, cell.origin.y, cell.size.width, cell.size.height));
    s.invisible = !shown;
    s.offscreen = !shown;
    return s;
}

void* AccessibleIconViewCell::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList AccessibleIconViewCell::actionNames() const {
    return {setFocusAction(), toggleAction()};
}

void AccessibleIconViewCell::doAction(const QString& actionName) {
    if (!isValid()) {
        return;
    }
    if (actionName == setFocusAction()) {
        _view->setFocus(Qt::OtherFocusReason);
        _view->moveCursorTo(_index);
    } else if (actionName == toggleAction()) {
        _view->toggleSelected(_index);
    }
}

QStringList AccessibleIconViewCell::keyBindingsForAction(const QString&) const {
    return {};
}
