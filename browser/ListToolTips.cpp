#include "browser/ListToolTips.h"

#include "browser/ItemDetails.h"
#include "browser/ListActions.h"
#include "iconview/IconView.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

ListToolTips::ListToolTips(ListActions* actions, QObject* parent)
    : QObject(parent)
    , _actions(actions) {
    if (QAbstractItemView* table = actions->table()) {
        table->viewport()->installEventFilter(this);
    } else if (IconView* grid = actions->grid()) {
        grid->installEventFilter(this);
    }
}

QString ListToolTips::toolTipAt(const QPoint& pos) const {
    if (!_actions) {
        return {};
    }
    return _actions->grid() ? gridToolTip(pos) : tableToolTip(pos);
}

QString ListToolTips::gridToolTip(const QPoint& pos) const {
    IconView* grid = _actions->grid();
    IconViewDataSource* source = grid->dataSource();
    const NSPoint p = NSMakePoint(static_cast<float>(pos.x()), static_cast<float>(pos.y()));
    const int index = source ? grid->indexAt(p) : -1;
    if (index < 0) {
        return {};
    }
    const auto inside = [p](NSRect r) {
        return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
               p.y < r.origin.y + r.size.height;
    };
    if (!inside(grid->imageRect(index)) && !inside(grid->textRect(index))) {
        return {};
    }
    // The picture's size as its cell already read it; a movie's poster is not the movie's size.
    QSize pixels;
    if (_actions->kind() == ListActions::Kind::Pictures) {
        if (const IconImagePtr image = source->imageForIndex(grid, index)) {
            pixels = image->size().toSize();
        }
    }
    const QStringList facts = ItemDetails::facts(pixels, ItemDetails::fileBytes(_actions->pathAt(index)));
    const QString name = source->labelForIndex(grid, index);
    return facts.isEmpty() ? name : name + QLatin1Char('\n') + ItemDetails::joined(facts);
}

QString ListToolTips::tableToolTip(const QPoint& pos) const {
    QAbstractItemView* table = _actions->table();
    const QModelIndex index = table->indexAt(pos);
    if (!index.isValid()) {
        return {};
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) {
        return {};
    }
    // What the cell would need to show all of it, icon and margins included.
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.font = index.data(Qt::FontRole).canConvert<QFont>()
                      ? qvariant_cast<QFont>(index.data(Qt::FontRole))
                      : table->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.decorationSize = table->iconSize();
    const int needed = table->itemDelegateForIndex(index)->sizeHint(option, index).width();
    return needed > table->visualRect(index).width() ? text : QString();
}

bool ListToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QObject::eventFilter(watched, event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = toolTipAt(help->pos());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), text, static_cast<QWidget*>(watched));
    }
    return true;
}
