#include "browser/QVMediaBrowser.h"

#include "browser/MediaBrowserWindow.h"
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
