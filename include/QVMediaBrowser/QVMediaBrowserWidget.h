#pragma once

#include <QList>
#include <QVMediaBrowser/Export.h>
#include <QVMediaBrowser/MediaItemInfo.h>
#include <QWidget>

class MediaBrowserWindow;
class PickerMode;
class QMenu;

// The browser's contents as a widget a host puts in its own window (a side
// panel, a dock): the tab bar, the source outlines, the lists and the search
// field, with sources and preferences shared with the floating window. Any
// number of them may live beside the shared browser's window. Its keyboard
// shortcuts act only while the focus is inside it, so the host's own keep
// working.
class QVMB_EXPORT QVMediaBrowserWidget : public QWidget {
    Q_OBJECT
public:
    // typeMask: the kinds its tab bar offers, QVMediaBrowser::TypeMaskBits
    // added together (all three by default).
    explicit QVMediaBrowserWidget(QWidget* parent = nullptr, int typeMask = 7);
    ~QVMediaBrowserWidget() override;

    int typeMask() const { return _typeMask; }

    // In picker mode, Enter, a double-click or the Choose button shown beside
    // the item count hand the selected items to itemsChosen() instead of
    // playing or previewing them. Off by default.
    void setPickerMode(bool on);
    bool isPickerMode() const { return _picker != nullptr; }

    // The menu of the contents' command button; hosts may add their commands.
    QMenu* commandMenu() const;

Q_SIGNALS:
    // The user chose these items, in the list's order.
    void itemsChosen(const QList<QVMediaItemInfo>& items);

private:
    int _typeMask;
    MediaBrowserWindow* _contents;
    PickerMode* _picker = nullptr;
};
