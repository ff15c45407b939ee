#include "browser/ItemContextMenu.h"

#include "browser/ListActions.h"
#include "iconview/IconView.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QMenu>

ItemContextMenu::ItemContextMenu(ListActions* actions, QObject* parent)
    : QObject(parent)
    , _actions(actions) {
    // The table's events arrive at its viewport; the grid's at the grid.
    if (QAbstractItemView* table = actions->table()) {
        table->setContextMenuPolicy(Qt::DefaultContextMenu);
        table->viewport()->installEventFilter(this);
        table->installEventFilter(this);
    } else if (IconView* grid = actions->grid()) {
        grid->installEventFilter(this);
    }
}

QMenu* ItemContextMenu::makeMenu(QWidget* parent) {
    if (!_actions || _actions->selection().empty()) {
        return nullptr;
    }
    ListActions* actions = _actions;
    auto* menu = new QMenu(parent);
    QAction* open = actions->kind() == ListActions::Kind::Pictures
                        ? menu->addAction(tr("Preview"), actions, &ListActions::showPreview)
                        : menu->addAction(tr("Play"), actions, &ListActions::open);
    menu->setDefaultAction(open);
    const bool haveFiles = !actions->selectedPaths().isEmpty();
    menu->addAction(tr("Open With Default Application"), actions, &ListActions::openWithDefaultApplication)
        ->setEnabled(haveFiles);
    menu->addAction(tr("Show in Folder"), actions, &ListActions::showInFolder)->setEnabled(haveFiles);
    menu->addSeparator();
    QAction* copy = menu->addAction(tr("Copy"), actions, &ListActions::copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(haveFiles);
    return menu;
}

bool ItemContextMenu::selectItemAt(const QPoint& pos) {
    if (IconView* grid = _actions->grid()) {
        const NSPoint p = NSMakePoint(static_cast<float>(pos.x()), static_cast<float>(pos.y()));
        const int index = grid->indexAt(p);
        if (index < 0) {
            return false;
        }
        const auto inside = [p](NSRect r) {
            return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
                   p.y < r.origin.y + r.size.height;
        };
        // The picture square or the caption under it: the cell as the user sees it.
        if (!inside(grid->imageRect(index)) && !inside(grid->textRect(index))) {
            return false;
        }
        if (grid->selection().count(index) == 0) {
            grid->moveCursorTo(index);
        }
        return true;
    }
    QAbstractItemView* table = _actions->table();
    const QModelIndex index = table->indexAt(pos);
    if (!index.isValid()) {
        return false;
    }
    if (!table->selectionModel()->isRowSelected(index.row(), QModelIndex())) {
        table->setCurrentIndex(index);
    }
    return true;
}

QPoint ItemContextMenu::keyboardMenuPosition() const {
    const int position = _actions->focusedPosition();
    if (IconView* grid = _actions->grid()) {
        const NSRect r = grid->imageRect(std::max(position, 0));
        return grid->mapToGlobal(QPoint(static_cast<int>(r.origin.x + r.size.width / 2),
                                        static_cast<int>(r.origin.y + r.size.height / 2)));
    }
    QAbstractItemView* table = _actions->table();
    const QRect row = table->visualRect(table->model()->index(std::max(position, 0), 0));
    return table->viewport()->mapToGlobal(row.center());
}

bool ItemContextMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ContextMenu || !_actions) {
        return QObject::eventFilter(watched, event);
    }
    auto* request = static_cast<QContextMenuEvent*>(event);
    QPoint at = request->globalPos();
    if (request->reason() == QContextMenuEvent::Keyboard) {
        at = keyboardMenuPosition();
    } else {
        QWidget* view = _actions->table() ? _actions->table()->viewport() : _actions->view();
        if (!selectItemAt(view->mapFromGlobal(request->globalPos()))) {
            return true;
        }
    }
    if (QMenu* menu = makeMenu(_actions->view())) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    }
    return true;
}
