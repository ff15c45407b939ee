#include "browser/PickerMode.h"

#include "browser/BrowserController.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/MusicTableView.h"
#include "browser/QVMBListController.h"
#include "browser/SegmentedControl.h"
#include "iconview/IconView.h"
#include "platform/system/NotificationCenter.h"
#include "ui_MediaBrowser.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QVMediaBrowser/Notifications.h>

PickerMode::PickerMode(MediaBrowserWindow* window)
    : QObject(window)
    , _window(window) {
    for (QObject* list :
         {static_cast<QObject*>(window->photoView()), static_cast<QObject*>(window->movieView()),
          static_cast<QObject*>(window->musicTable()),
          static_cast<QObject*>(window->musicTable()->viewport())}) {
        list->installEventFilter(this);
    }
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto update = [this](const Notification&) {
        updateCanChoose();
    };
    center.addObserver(this, IconViewSelectionChanged, window->photoView(), update);
    center.addObserver(this, IconViewSelectionChanged, window->movieView(), update);
    for (const void* list :
         {static_cast<const void*>(window->photoList()), static_cast<const void*>(window->musicList()),
          static_cast<const void*>(window->movieList())}) {
        center.addObserver(this, QVMBListCtrlNumItemsChanged, list, update);
    }
    if (QItemSelectionModel* selection = window->musicTable()->selectionModel()) {
        connect(selection, &QItemSelectionModel::selectionChanged, this, &PickerMode::updateCanChoose);
    }
    connect(window->ui().buttons, &SegmentedControl::clicked, this, &PickerMode::updateCanChoose);
    updateCanChoose();
}

PickerMode::~PickerMode() {
    NotificationCenter::defaultCenter().removeObserver(this);
    delete _chooseButton;
}

void PickerMode::setFilter(const MediaTypeFilter& filter) {
    _filter = filter;
    updateCanChoose();
}

void PickerMode::setMultipleSelection(bool multiple) {
    _multiple = multiple;
    updateCanChoose();
}

void PickerMode::showChooseButton() {
    if (_chooseButton == nullptr) {
        _chooseButton = new QPushButton(chooseLabel(), _window);
        QBoxLayout* bar = _window->ui().bottomBar;
        bar->insertWidget(bar->indexOf(_window->ui().menuButton), _chooseButton);
        connect(_chooseButton, &QPushButton::clicked, this, &PickerMode::choose);
    }
    _chooseButton->setEnabled(_canChoose);
}

void PickerMode::choose() {
    updateCanChoose();
    if (_canChoose) {
        Q_EMIT chosen(selectedItems());
    }
}

bool PickerMode::isChooseKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) && modifiers == Qt::NoModifier;
}

bool PickerMode::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Enter belongs to picking here, whatever shortcut the window gives it.
        if (isChooseKey(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (isChooseKey(*static_cast<QKeyEvent*>(event))) {
            choose();
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        // The first click selected the item; the second chooses it once the
        // button is up, so that the release does not land on whatever window
        // lies under the picker once it has gone.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            _doubleClicked = watched;
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (_doubleClicked == watched && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            _doubleClicked = nullptr;
            choose();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

std::vector<MediaItemPtr> PickerMode::selectedItems() const {
    std::vector<MediaItemPtr> items;
    QVMBListController* list = _window->browserController()->currentList();
    if (list == nullptr) {
        return items;
    }
    for (const int position : list->selectedPositions()) {
        if (position >= 0 && position < list->numItems()) {
            items.push_back(list->itemAt(position));
        }
    }
    return items;
}

void PickerMode::updateCanChoose() {
    const std::vector<MediaItemPtr> items = selectedItems();
    bool can = !items.empty() && (_multiple || items.size() == 1);
    for (std::size_t i = 0; can && i < items.size(); ++i) {
        can = _filter.accepts(*items[i]);
    }
    if (_chooseButton != nullptr) {
        _chooseButton->setEnabled(can);
    }
    if (can != _canChoose) {
        _canChoose = can;
        Q_EMIT canChooseChanged(can);
    }
}
