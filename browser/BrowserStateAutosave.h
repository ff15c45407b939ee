#pragma once

#include <QObject>
#include <QPointer>
#include <QSplitter>
#include <QStringList>
#include <QThreadPool>
#include <QTreeView>

#include <array>

class QVMBTreeController;
class SegmentedControl;
class TabShortcuts;

// Keeps the user's place in the browser window across launches, in the host
// application's settings beside the window's frame: the tab, and for each
// tab the folder selected in its outline, the folders expanded there and the
// splitter between the outline and the list. Folders are kept by their paths
// of names from the root, which stay the same from launch to launch. When
// the preferences rebuild an outline, what the user had there comes back
// wherever it still exists.
class BrowserStateAutosave : public QObject {
    Q_OBJECT
public:
    struct Tab {
        QPointer<QVMBTreeController> tree;
        QPointer<QTreeView> outline;
        QPointer<QSplitter> splitter;
    };

    // Restores what was saved (the tab is chosen through tabs) and saves
    // from now on whenever the user changes something and when the window hides.
    BrowserStateAutosave(QWidget* window, SegmentedControl* tabBar, TabShortcuts* tabs,
                         const std::array<Tab, 3>& perTab, QObject* parent = nullptr);

    // The settings key of one thing kept ("Tab", or "<kind>/Selected" ...).
    static QString settingsKey(const QString& name);

    ~BrowserStateAutosave() override;

    // Saves on a thread of its own, in order; saveNow() waits until it is written.
    void save();
    void saveNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Place {
        QStringList expanded;
        QString selected;
    };
    void restore();
    // What the user has in tab kind's outline now.
    void takePlace(int kind);
    void takePlaceSoon(int kind);

    QPointer<QWidget> _window;
    QPointer<SegmentedControl> _tabBar;
    QPointer<TabShortcuts> _tabs;
    std::array<Tab, 3> _perTab;
    // The user's place in each outline, as last chosen: kept while the
    // outline is rebuilt, and restored into it afterwards.
    std::array<Place, 3> _places;
    QThreadPool _writer;
};
