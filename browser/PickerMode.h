#pragma once

#include "browser/MediaTypeFilter.h"
#include "model/MediaItem.h"

#include <QObject>
#include <QPointer>

#include <vector>

class MediaBrowserWindow;
class QEvent;
class QKeyEvent;
class QPushButton;

// The browser's contents in picker mode. Enter and a double-click on the
// pictures grid, the tracks table or the movies grid choose the selected items
// instead of playing or previewing them; so does an optional Choose button.
// Every key and mouse event of picker mode is taken here, ahead of the lists'
// own handling, so the lists themselves know nothing of picking. Only items of
// the wanted types can be chosen, one at a time unless several are allowed.
class PickerMode : public QObject {
    Q_OBJECT
public:
    // Takes over the window's lists until destroyed (it is the window's child).
    explicit PickerMode(MediaBrowserWindow* window);
    ~PickerMode() override;

    void setFilter(const MediaTypeFilter& filter);
    void setMultipleSelection(bool multiple);
    // A Choose button in the window's bottom bar, for contents that have no
    // dialog buttons of their own.
    void showChooseButton();
    // The Choose button's text.
    static QString chooseLabel() { return tr("Choose"); }

    // Whether the current list's selection may be chosen now.
    bool canChoose() const { return _canChoose; }
    // Chooses the current list's selection when it may be chosen.
    void choose();

Q_SIGNALS:
    void chosen(const std::vector<MediaItemPtr>& items);
    void canChooseChanged(bool canChoose);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool isChooseKey(const QKeyEvent& event);
    std::vector<MediaItemPtr> selectedItems() const;
    void updateCanChoose();

    MediaBrowserWindow* _window;
    MediaTypeFilter _filter;
    bool _multiple = true;
    bool _canChoose = false;
    QPointer<QPushButton> _chooseButton;
    // The list widget whose double-click chooses on the button's release.
    QObject* _doubleClicked = nullptr;
};
