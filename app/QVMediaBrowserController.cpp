#include "app/QVMediaBrowserController.h"

#include "service/BusServices.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QVMediaBrowser/QVMediaBrowser.h>
#include <QWidget>

QVMediaBrowserController::QVMediaBrowserController(QObject* parent)
    : QObject(parent) {
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            applicationDidBecomeActive();
        }
    });
    _idle.setSingleShot(true);
    connect(&_idle, &QTimer::timeout, this, [this] {
        if (!(_services != nullptr && _services->isBusy()) &&
            !(_prepared && QVMediaBrowser::sharedBrowser()->window()->isVisible())) {
            QApplication::quit();
        }
    });
}

void QVMediaBrowserController::setServices(BusServices* services, bool startedByBus) {
    _services = services;
    _startedByBus = startedByBus;
    connect(services, &BusServices::becameIdle, this, &QVMediaBrowserController::quitWhenIdle);
    connect(services, &BusServices::showRequested, this, [this] { applicationShouldHandleReopen(); });
    // A program the bus started has no one left to serve once the bus is gone.
    connect(services, &BusServices::busLost, this, [this] {
        if (_startedByBus) {
            QApplication::quit();
        }
    });
}

void QVMediaBrowserController::applicationDidFinishLaunching() {
    // The shared browser first: making it installs the translations the tray's texts need.
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    makeTrayIcon();
    prepareBrowser();
    browser->showWindow(this);
}

void QVMediaBrowserController::serviceDidFinishLaunching() {
    // Pickers are windows Qt counts: closing the last must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    quitWhenIdle();
}

void QVMediaBrowserController::prepareBrowser() {
    if (_prepared) {
        return;
    }
    _prepared = true;
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    // Qt would quit when its last counted window closes, and it counts the
    // preferences window but not the browser, a tool window: closing the
    // preferences would end the program. The browser's own close decides.
    QApplication::setQuitOnLastWindowClosed(false);
    // Loads it with the default type mask. Without a tray nothing could bring
    // a closed browser back: closing it quits.
    browser->window()->installEventFilter(this);
    // The window's own command menu is the home of Quit where there is no tray.
    QMenu* commands = browser->commandMenu();
    commands->addSeparator();
    QAction* quit =
        commands->addAction(tr("Quit"), QKeySequence(QKeySequence::Quit), qApp, &QApplication::quit);
    // Quits from every window of the program, the preferences included.
    quit->setShortcutContext(Qt::ApplicationShortcut);
}

bool QVMediaBrowserController::eventFilter(QObject* watched, QEvent* event) {
    // The browser was closed: it hides once its close is accepted. Deciding
    // right then leaves no moment in which an activation could show it again.
    // Minimising and the window system's own unmapping are no close.
    if (event->type() == QEvent::Hide && !event->spontaneous() && !QCoreApplication::closingDown()) {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window != nullptr && !window->isMinimized()) {
            _browserClosed = _tray == nullptr;
            quitWhenIdle();
        }
    }
    return QObject::eventFilter(watched, event);
}

void QVMediaBrowserController::quitWhenIdle() {
    if (_tray != nullptr || (_prepared && QVMediaBrowser::sharedBrowser()->window()->isVisible())) {
        return;
    }
    if (_services != nullptr && _services->isBusy()) {
        return; // asked again when the last picker closes
    }
    if (_startedByBus) {
        _idle.start(kIdleSeconds * 1000);
    } else {
        QApplication::quit();
    }
}

void QVMediaBrowserController::applicationDidBecomeActive() {
    // Activation is reported whenever one of the program's windows takes the
    // focus, the browser's own included: bring the browser back only when it
    // is not on screen, so that taking the focus does not start a cycle of
    // re-activations (which, without a window manager, also starves painting).
    // A picker taking the focus leaves a browser the user closed closed.
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    if (!browser->isWindowLoaded() || _browserClosed) {
        return; // launching has not finished (it shows the window itself), or only pickers show
    }
    QWidget* window = browser->window();
    if (!window->isVisible() || window->isMinimized()) {
        QVMediaBrowser::sharedBrowser()->showWindow(this);
    }
}

bool QVMediaBrowserController::applicationShouldHandleReopen() {
    showMediaBrowser(this);
    return false;
}

void QVMediaBrowserController::showMediaBrowser(QObject* sender) {
    prepareBrowser();
    _browserClosed = false;
    _idle.stop();
    QVMediaBrowser::sharedBrowser()->showWindow(sender);
}

void QVMediaBrowserController::showPreferences(QObject* sender) {
    QVMediaBrowser::sharedBrowser()->showPreferences(sender);
}

void QVMediaBrowserController::makeTrayIcon() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    auto* menu = new QMenu();
    menu->addAction(tr("Show Media Browser"), this, [this] { showMediaBrowser(); });
    menu->addAction(tr("Preferences…"), this, [this] { showPreferences(); });
    menu->addSeparator();
    menu->addAction(tr("Quit"), qApp, &QApplication::quit);
    _tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/qvmediabrowser/images/iTunes.tiff")), this);
    _tray->setToolTip(tr("Media Browser"));
    _tray->setContextMenu(menu);
    connect(_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) {
            showMediaBrowser();
        }
    });
    _tray->show();
}
