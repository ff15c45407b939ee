#include "iconview/AccessibleIconView.h"

#include "iconview/AccessibleIconViewCell.h"
#include "iconview/IconView.h"

#include <QLabel>

namespace {

// Above this many changes at once (Select All in a large folder) one event
// for the whole list stands for the cells' own.
constexpr int kMostCellEvents = 64;

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("IconView")) {
        return new AccessibleIconView(static_cast<IconView*>(object));
    }
    return nullptr;
}

} // namespace

AccessibleIconView::AccessibleIconView(IconView* view)
    : QAccessibleWidget(view, QAccessible::List) {
    _announced = view->selection();
}

AccessibleIconView::~AccessibleIconView() {
    dropCellsFrom(0);
}

void AccessibleIconView::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

IconView* AccessibleIconView::view() const {
    return static_cast<IconView*>(widget());
}

QAccessibleInterface* AccessibleIconView::child(int index) const {
    if (index < 0 || index >= view()->count()) {
        return nullptr;
    }
    const auto found = _cells.constFind(index);
    if (found != _cells.constEnd()) {
        return QAccessible::accessibleInterface(*found);
    }
    QAccessibleInterface* cell = new AccessibleIconViewCell(view(), index);
    _cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int AccessibleIconView::childCount() const {
    return view()->count();
}

int AccessibleIconView::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const AccessibleIconViewCell*>(child);
    if (cell == nullptr || cell->view() != view() || cell->index() >= view()->count()) {
        return -1;
    }
    return cell->index();
}

QAccessibleInterface* AccessibleIconView::childAt(int x, int y) const {
    const QPoint p = view()->mapFromGlobal(QPoint(x, y));
    const int index = view()->indexAt(NSMakePoint(static_cast<float>(p.x()), static_cast<float>(p.y())));
    if (index < 0) {
        return nullptr;
    }
    const NSRect r = view()->boundRect(index);
    const QRectF cell(r.origin.x, r.origin.y, r.size.width, r.size.height);
    return cell.contains(p) ? child(index) : nullptr;
}

QAccessibleInterface* AccessibleIconView::focusChild() const {
    if (!view()->hasFocus() || view()->count() == 0) {
        return nullptr;
    }
    return child(std::clamp(view()->cursorPos(), 0, view()->count() - 1));
}

QAccessible::State AccessibleIconView::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.multiSelectable = true;
    s.extSelectable = true;
    return s;
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
AccessibleIconView::relations(QAccessible::Relation match) const {
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> found = QAccessibleWidget::relations(match);
    if ((match & QAccessible::Label) == 0) {
        return found;
    }
    // The window's labels for this list (the item count) wherever they sit.
    for (QLabel* label : view()->window()->findChildren<QLabel*>()) {
        if (label->buddy() != view()) {
            continue;
        }
        QAccessibleInterface* labelInterface = QAccessible::queryAccessibleInterface(label);
        const bool known = std::any_of(found.cbegin(), found.cend(), [labelInterface](const auto& pair) {
            return pair.first == labelInterface;
        });
        if (labelInterface != nullptr && !known) {
            found.append({labelInterface, QAccessible::Label});
        }
    }
    return found;
}

AccessibleIconView* AccessibleIconView::of(IconView* view) {
    if (!QAccessible::isActive()) {
        return nullptr;
    }
    return dynamic_cast<AccessibleIconView*>(QAccessible::queryAccessibleInterface(view));
}

void AccessibleIconView::selectionChanged(IconView* view) {
    if (AccessibleIconView* accessible = of(view)) {
        accessible->sendSelectionEvents();
        if (view->hasFocus()) {
            accessible->sendFocusEvent();
        }
    }
}

void AccessibleIconView::focusCursor(IconView* view) {
    if (AccessibleIconView* accessible = of(view)) {
        accessible->sendFocusEvent();
    }
}

void AccessibleIconView::reloaded(IconView* view) {
    if (AccessibleIconView* accessible = of(view)) {
        // Cells are places in the grid, so those still in it stay; the rest go.
        accessible->dropCellsFrom(view->count());
        QAccessibleTableModelChangeEvent event(view, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
        accessible->sendSelectionEvents();
    }
}

void AccessibleIconView::statusChanged(IconView* view, int index) {
    if (of(view) != nullptr && index >= 0 && index < view->count()) {
        QAccessibleEvent event(view, QAccessible::DescriptionChanged);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
}

void AccessibleIconView::sendSelectionEvents() {
    const std::set<int>& now = view()->selection();
    std::vector<int> changed;
    std::set_symmetric_difference(_announced.begin(), _announced.end(), now.begin(), now.end(),
                                  std::back_inserter(changed));
    _announced = now;
    if (changed.empty()) {
        return;
    }
    if (changed.size() > static_cast<size_t>(kMostCellEvents)) {
        QAccessibleEvent event(view(), QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&event);
        return;
    }
    for (int index : changed) {
        if (index >= view()->count()) {
            continue; // a cell gone with a reload
        }
        // Each cell's event reports its selected state as it is now.
        QAccessibleEvent event(view(), QAccessible::Selection);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
}

void AccessibleIconView::sendFocusEvent() {
    if (view()->count() == 0) {
        return;
    }
    QAccessibleEvent event(view(), QAccessible::Focus);
    event.setChild(std::clamp(view()->cursorPos(), 0, view()->count() - 1));
    QAccessible::updateAccessibility(&event);
}

void AccessibleIconView::dropCellsFrom(int count) {
    for (auto it = _cells.begin(); it != _cells.end();) {
        if (it.key() >= count) {
            QAccessible::deleteAccessibleInterface(it.value());
            it = _cells.erase(it);
        } else {
            ++it;
        }
    }
}
