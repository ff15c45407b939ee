#include "app/QVMediaBrowserController.h"

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
    makeTrayIcon();
    // Without a tray nothing could bring a closed window back: closing it quits.
    QApplication::setQuitOnLastWindowClosed(_tray == nullptr);
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    browser->window(); // loads it with the default type mask
    // The window's own command menu is the home of Quit where there is no tray.
    QMenu* commands = browser->commandMenu();
    commands->addSeparator();
    commands->addAction(tr("Quit"), QKeySequence(QKeySequence::Quit), qApp, &QApplication::quit);
    browser->showWindow(this);
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
