#pragma once

#include <QAccessibleWidget>

class QAbstractButton;
class SegmentedControl;

// The tab bar as a screen reader knows tab bars: a page-tab list whose
// children are its segments, each a page tab named by its label and selected
// while it is the current one.
class AccessibleSegmentedControl : public QAccessibleWidget {
public:
    explicit AccessibleSegmentedControl(SegmentedControl* control);

    // The row takes the focus as a whole: with it, the selected tab is focused.
    QAccessibleInterface* focusChild() const override;

    // Registers the accessible interfaces of the tab bar and its segments; once
    // per process is enough.
    static void installFactory();
};

// One segment of the tab bar (a checkable button inside it) as a page tab.
class AccessibleSegment : public QAccessibleWidget {
public:
    explicit AccessibleSegment(QAbstractButton* button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    QAbstractButton* button() const;
};
