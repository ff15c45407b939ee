#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class IconView;

// One cell of the thumbnail grid for screen readers: a list item named by its
// caption, with the cell's place on screen, its selection and cursor state, the
// list's status for it (a movie playing there) as its description, and the
// actions a click offers (make it the one selected item, or add it to or take
// it from the selection).
class AccessibleIconViewCell : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleIconViewCell(IconView* view, int index);

    int index() const { return _index; }
    IconView* view() const { return _view; }

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QPointer<IconView> _view;
    int _index;
};
