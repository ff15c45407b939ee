#include "app/QVMediaBrowserController.h"

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
}

void QVMediaBrowserController::applicationDidFinishLaunching() {
    // The shared browser first: making it installs the translations the tray's texts need.
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    makeTrayIcon();
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
    browser->showWindow(this);
}

bool QVMediaBrowserController::eventFilter(QObject* watched, QEvent* event) {
    // The browser was closed: it hides once its close is accepted. Deciding
    // right then leaves no moment in which an activation could show it again.
    // Minimising and the window system's own unmapping are no close.
    if (event->type() == QEvent::Hide && !event->spontaneous() && _tray == nullptr &&
        !QCoreApplication::closingDown()) {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window != nullptr && !window->isMinimized()) {
            QApplication::quit();
        }
    }
    return QObject::eventFilter(watched, event);
}

void QVMediaBrowserController::applicationDidBecomeActive() {
    // Activation is reported whenever one of the program's windows takes the
    // focus, the browser's own included: bring the browser back only when it
    // is not on screen, so that taking the focus does not start a cycle of
    // re-activations (which, without a window manager, also starves painting).
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    if (!browser->isWindowLoaded()) {
        return; // launching has not finished: it shows the window itself
    }
    QWidget* window = browser->window();
    if (!window->isVisible() || window->isMinimized()) {
        QVMediaBrowser::sharedBrowser()->showWindow(this);
    }
}

bool QVMediaBrowserController::applicationShouldHandleReopen() {
    QVMediaBrowser::sharedBrowser()->showWindow(this);
    return false;
}

void QVMediaBrowserController::showMediaBrowser(QObject* sender) {
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
