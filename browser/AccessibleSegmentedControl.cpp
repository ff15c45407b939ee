#include "browser/AccessibleSegmentedControl.h"

#include "browser/SegmentedControl.h"

#include <QAbstractButton>

namespace {

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("SegmentedControl")) {
        return new AccessibleSegmentedControl(static_cast<SegmentedControl*>(object));
    }
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (button != nullptr && qobject_cast<SegmentedControl*>(button->parent()) != nullptr) {
        return new AccessibleSegment(button);
    }
    return nullptr;
}

} // namespace

AccessibleSegmentedControl::AccessibleSegmentedControl(SegmentedControl* control)
    : QAccessibleWidget(control, QAccessible::PageTabList) {
}

QAccessibleInterface* AccessibleSegmentedControl::focusChild() const {
    auto* control = static_cast<SegmentedControl*>(widget());
    const int selected = control->selectedSegment();
    if (!control->hasFocus() || selected < 0) {
        return nullptr;
    }
    for (QAbstractButton* button : control->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->isChecked()) {
            return QAccessible::queryAccessibleInterface(button);
        }
    }
    return nullptr;
}

void AccessibleSegmentedControl::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

AccessibleSegment::AccessibleSegment(QAbstractButton* button)
    : QAccessibleWidget(button, QAccessible::PageTab) {
}

QAbstractButton* AccessibleSegment::button() const {
    return static_cast<QAbstractButton*>(object());
}

QString AccessibleSegment::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && button()->accessibleName().isEmpty()) {
        return button()->text();
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleSegment::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.selectable = true;
    s.selected = button()->isChecked();
    s.checkable = false;
    s.checked = false;
    // The row takes the focus for its tabs.
    auto* control = static_cast<QWidget*>(button()->parent());
    s.focusable = control->focusPolicy() != Qt::NoFocus;
    s.focused = control->hasFocus() && button()->isChecked();
    return s;
}

QStringList AccessibleSegment::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleSegment::doAction(const QString& actionName) {
    if (actionName == pressAction()) {
        button()->click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
