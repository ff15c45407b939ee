#include "browser/QVMediaBrowser.h"

#include "browser/QVMBPanel.h"
#include "platform/WindowFrameAutosave.h"
#include "prefs/PrefsController.h"

QVMediaBrowser* QVMediaBrowser::_sharedBrowser = nullptr;

namespace {

const QString kAutosaveName = QStringLiteral("QVMediaBrowser");

QVMediaBrowser::WindowLoader& windowLoader() {
    static QVMediaBrowser::WindowLoader loader = [](QVMediaBrowser*, const QString&) -> QWidget* {
        return new QVMBPanel();
    };
    return loader;
}

} // namespace

QVMediaBrowser* QVMediaBrowser::sharedBrowser() {
    return initWithWindowNibName(QStringLiteral("MediaBrowser"));
}

QVMediaBrowser* QVMediaBrowser::initWithWindowNibName(const QString& name) {
    if (_sharedBrowser == nullptr) {
        _sharedBrowser = new QVMediaBrowser(name); // lives until the process ends
    }
    return _sharedBrowser;
}

QVMediaBrowser::QVMediaBrowser(const QString& nibName)
    : _nibName(nibName) {
}

QVMediaBrowser::~QVMediaBrowser() = default;

void QVMediaBrowser::setWindowLoader(WindowLoader loader) {
    windowLoader() = std::move(loader);
}

QWidget* QVMediaBrowser::window() {
    if (_window == nullptr) {
        _window = windowLoader()(this, _nibName);
        new WindowFrameAutosave(_window, kAutosaveName);
    }
    return _window;
}

void QVMediaBrowser::showWindow(QObject*) {
    QWidget* w = window();
    w->show();
    w->raise();
    w->activateWindow();
}

void QVMediaBrowser::showPreferences(QObject*) {
    PrefsController::sharedPrefs()->showWindow();
}
