#pragma once

#include <QAccessibleWidget>
#include <QHash>

#include <set>

class IconView;

// The thumbnail grid for screen readers, read the way readers know item
// views: a list whose children are all its cells (AccessibleIconViewCell),
// on screen or not, each named by its caption. The view tells it when the
// selection or the cursor moved or a cell's status changed, and it passes that
// on as focus and selection events, so a reader follows the arrow keys.
class AccessibleIconView : public QAccessibleWidget {
public:
    explicit AccessibleIconView(IconView* view);
    ~AccessibleIconView() override;

    static void installFactory();

    IconView* view() const;

    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessible::State state() const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match = QAccessible::AllRelations) const override;

    // What the view reports; each does nothing unless a reader listens.
    static void selectionChanged(IconView* view);
    static void focusCursor(IconView* view);
    static void reloaded(IconView* view);
    static void statusChanged(IconView* view, int index);

private:
    static AccessibleIconView* of(IconView* view);
    void sendSelectionEvents();
    void sendFocusEvent();
    void dropCellsFrom(int count);

    // Cells made so far by index; the accessibility cache owns them.
    mutable QHash<int, QAccessible::Id> _cells;
    // The selection readers were last told of.
    std::set<int> _announced;
};
