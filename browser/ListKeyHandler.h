#pragma once

#include <QObject>
#include <QPointer>

class ListActions;
class QKeyEvent;
class QWidget;

// The keys of the browser's lists, in one place. In a tab's list: Enter opens
// the selected item (ListActions::open), Space toggles (ListActions::toggle),
// Ctrl+C copies. In every list and outline, the first arrow press where
// nothing is selected selects the first item of a grid, or the row the keyboard
// is on in a table or outline, instead of moving
// past it, and Ctrl+Tab and Ctrl+Shift+Tab leave it as Tab and Shift+Tab do
// (the music table moves between rows, never between cells).
class ListKeyHandler : public QObject {
    Q_OBJECT
public:
    // Handles the keys of actions' view.
    explicit ListKeyHandler(ListActions* actions, QObject* parent = nullptr);
    // Handles only the arrows and Ctrl+Tab for view (an outline).
    explicit ListKeyHandler(QWidget* view, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(QKeyEvent* event);
    // Selects the item under the keyboard when nothing is selected; answers
    // whether it did. A table or outline takes only Up and Down so.
    bool selectFirst(bool upOrDown);

    QPointer<ListActions> _actions;
    QPointer<QWidget> _view;
};
