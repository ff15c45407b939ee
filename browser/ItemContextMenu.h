#pragma once

#include <QObject>
#include <QPointer>

class ListActions;
class QMenu;
class QPoint;

// The context menu of a tab's list items: Preview (pictures) or Play (tracks
// and movies), Open With Default Application, Show in Folder and Copy. A
// right click on an item outside the selection selects that item alone
// first; a click beside every item shows no menu.
class ItemContextMenu : public QObject {
    Q_OBJECT
public:
    explicit ItemContextMenu(ListActions* actions, QObject* parent = nullptr);

    // The menu for the current selection, not yet shown; none when nothing is selected.
    QMenu* makeMenu(QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Selects the item at pos (in the view's coordinates) unless it is
    // selected already; answers whether pos is on an item.
    bool selectItemAt(const QPoint& pos);
    // Where a menu asked for from the keyboard opens: at the focused item.
    QPoint keyboardMenuPosition() const;

    QPointer<ListActions> _actions;
};
