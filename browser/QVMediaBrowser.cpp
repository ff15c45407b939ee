#include "browser/QVMediaBrowser.h"

#include "browser/ChosenItems.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/PickerMode.h"
#include "platform/system/Translations.h"
#include "platform/system/WindowFrameAutosave.h"
#include "prefs/PrefsController.h"

QVMediaBrowser* QVMediaBrowser::_sharedBrowser = nullptr;

namespace {

const QString kAutosaveName = QStringLiteral("QVMediaBrowser");

} // namespace

QVMediaBrowser* QVMediaBrowser::sharedBrowser() {
    return initWithWindowNibName(QStringLiteral("MediaBrowser"));
}

QVMediaBrowser* QVMediaBrowser::initWithWindowNibName(const QString& name) {
    if (_sharedBrowser == nullptr) {
        // The host's texts made from here on are translated too.
        Translations::install();
        _sharedBrowser = new QVMediaBrowser(name); // lives until the process ends
    }
    return _sharedBrowser;
}

QVMediaBrowser::QVMediaBrowser(const QString& nibName)
    : _nibName(nibName) {
}

QVMediaBrowser::~QVMediaBrowser() = default;

QWidget* QVMediaBrowser::window() {
    if (_window == nullptr) {
        _window = new MediaBrowserWindow();
        new WindowFrameAutosave(_window, kAutosaveName);
        applyPickerMode();
    }
    return _window;
}

void QVMediaBrowser::showWindow(QObject*) {
    QWidget* w = window();
    w->showNormal();
    w->raise();
    if (!w->isActiveWindow()) {
        w->activateWindow();
    }
}

void QVMediaBrowser::showPreferences(QObject*) {
    PrefsController::sharedPrefs()->showWindow();
}

QMenu* QVMediaBrowser::commandMenu() {
    window();
    return _window->commandMenu();
}

void QVMediaBrowser::setPickerMode(bool on) {
    _pickerMode = on;
    if (_window != nullptr) {
        applyPickerMode();
    }
}

void QVMediaBrowser::applyPickerMode() {
    if (!_pickerMode) {
        delete _picker;
        _picker = nullptr;
        return;
    }
    if (_picker != nullptr) {
        return;
    }
    _picker = new PickerMode(_window);
    _picker->showChooseButton();
    connect(_picker, &PickerMode::chosen, this, [this](const std::vector<MediaItemPtr>& items) {
        Q_EMIT itemsChosen(ChosenItems::describe(items));
    });
}
