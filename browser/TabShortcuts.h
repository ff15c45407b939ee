#pragma once

#include <QObject>
#include <QPointer>

class QLineEdit;
class QWidget;
class SegmentedControl;

// The browser window's keys that act wherever the focus is: Ctrl+1, Ctrl+2
// and Ctrl+3 choose the first, second and third tab of the tab bar, and
// Ctrl+PageDown and Ctrl+PageUp the next and previous one; Escape in the
// search field clears it (all lists then show everything again).
class TabShortcuts : public QObject {
    Q_OBJECT
public:
    TabShortcuts(QWidget* window, SegmentedControl* tabBar, QLineEdit* searchField,
                 QObject* parent = nullptr);

    // Chooses the tab bar's segment as a click on it would.
    void chooseSegment(int segment);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<SegmentedControl> _tabBar;
    QPointer<QLineEdit> _searchField;
};
