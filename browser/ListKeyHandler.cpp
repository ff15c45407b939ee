#include "browser/ListKeyHandler.h"

#include "browser/ListActions.h"
#include "iconview/IconView.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>

ListKeyHandler::ListKeyHandler(ListActions* actions, QObject* parent)
    : QObject(parent)
    , _actions(actions)
    , _view(actions->view()) {
    if (auto* table = actions->table()) {
        // Tab leaves the table rather than stepping through its cells.
        table->setTabKeyNavigation(false);
    }
    _view->installEventFilter(this);
}

ListKeyHandler::ListKeyHandler(QWidget* view, QObject* parent)
    : QObject(parent)
    , _view(view) {
    _view->installEventFilter(this);
}

bool ListKeyHandler::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _view && event->type() == QEvent::KeyPress) {
        return keyPressed(static_cast<QKeyEvent*>(event));
    }
    if (watched == _view && event->type() == QEvent::ShortcutOverride) {
        // Keys the list acts on are its own, not the window's shortcuts'.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (_actions && key->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool ListKeyHandler::keyPressed(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (modifiers & Qt::ControlModifier)) {
        // Leave as a plain Tab would.
        const bool backwards = key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
        QKeyEvent plain(QEvent::KeyPress, backwards ? Qt::Key_Backtab : Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(_view, &plain);
        return true;
    }
    const bool arrow =
        modifiers == Qt::NoModifier && (key == Qt::Key_Up || key == Qt::Key_Down ||
                                        (_actions && (key == Qt::Key_Left || key == Qt::Key_Right)));
    if (arrow) {
        return selectFirst(key == Qt::Key_Up || key == Qt::Key_Down);
    }
    if (!_actions) {
        return false;
    }
    if (event->matches(QKeySequence::Copy)) {
        _actions->copy();
        return true;
    }
    if (modifiers != Qt::NoModifier) {
        return false;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        _actions->open();
        return true;
    case Qt::Key_Space:
        _actions->toggle();
        return true;
    default:
        return false;
    }
}

bool ListKeyHandler::selectFirst(bool upOrDown) {
    if (IconView* grid = _actions ? _actions->grid() : nullptr) {
        if (!grid->selection().empty()) {
            return false;
        }
        const int count = grid->count();
        if (count == 0) {
            return false;
        }
        grid->moveCursorTo(0);
        return true;
    }
    // A table or an outline: its rows go up and down (left and right move
    // between cells, or open and close folders).
    auto* view = qobject_cast<QAbstractItemView*>(_view);
    if (view == nullptr || !upOrDown || view->model() == nullptr || view->model()->rowCount() == 0 ||
        view->selectionModel() == nullptr || view->selectionModel()->hasSelection()) {
        return false;
    }
    const QModelIndex current = view->currentIndex();
    view->setCurrentIndex(current.isValid() ? current.siblingAtColumn(0) : view->model()->index(0, 0));
    return true;
}
