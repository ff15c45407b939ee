#include "browser/ChosenItems.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/PickerMode.h"

#include <QShortcut>
#include <QVBoxLayout>
#include <QVMediaBrowser/QVMediaBrowserWidget.h>

QVMediaBrowserWidget::QVMediaBrowserWidget(QWidget* parent, int typeMask)
    : QWidget(parent)
    , _typeMask(typeMask)
    , _contents(new MediaBrowserWindow(this, typeMask)) {
    // The window's contents, no longer a window of their own.
    _contents->setWindowFlags(Qt::Widget);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_contents);
    // The contents' shortcuts (Ctrl+F to the search field, Ctrl+, to the
    // preferences...) act within the contents only: in the host's window they
    // would take the host's own keys.
    for (QShortcut* shortcut : _contents->findChildren<QShortcut*>()) {
        if (shortcut->context() == Qt::WindowShortcut || shortcut->context() == Qt::ApplicationShortcut) {
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        }
    }
    setFocusProxy(_contents);
}

QVMediaBrowserWidget::~QVMediaBrowserWidget() = default;

void QVMediaBrowserWidget::setPickerMode(bool on) {
    if (on == isPickerMode()) {
        return;
    }
    if (!on) {
        delete _picker;
        _picker = nullptr;
        return;
    }
    _picker = new PickerMode(_contents);
    _picker->showChooseButton();
    connect(_picker, &PickerMode::chosen, this, [this](const std::vector<MediaItemPtr>& items) {
        Q_EMIT itemsChosen(ChosenItems::describe(items));
    });
}

QMenu* QVMediaBrowserWidget::commandMenu() const {
    return _contents->commandMenu();
}
