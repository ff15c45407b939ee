#pragma once

#include <QObject>
#include <QTimer>

class BusServices;
class QSystemTrayIcon;

// The program's delegate: shows the browser when launching has finished,
// whenever the program becomes active and when it is started again, and
// offers the commands Show Media Browser, Preferences… and Quit from a tray
// icon where the desktop has a tray.
//
// The program also answers pickers on the session bus (BusServices). It
// never quits while one is open; started by the bus for one, it shows no
// browser and quits once it has been idle for a while.
class QVMediaBrowserController : public QObject {
    Q_OBJECT
public:
    explicit QVMediaBrowserController(QObject* parent = nullptr);

    // The bus services to keep running for; startedByBus: the bus started
    // the program, which then waits for requests instead of showing the browser.
    void setServices(BusServices* services, bool startedByBus);

    void applicationDidFinishLaunching();
    // Launching has finished for a program the bus started.
    void serviceDidFinishLaunching();
    void applicationDidBecomeActive();
    // The program was started again while running: bring the browser forward.
    bool applicationShouldHandleReopen();
    void showMediaBrowser(QObject* sender = nullptr);
    void showPreferences(QObject* sender = nullptr);

    bool hasTrayIcon() const { return _tray != nullptr; }

    // How long a program the bus started stays after its last picker closed.
    static constexpr int kIdleSeconds = 300;

protected:
    // Without a tray, the browser window's close quits the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes the browser window and its commands, once.
    void prepareBrowser();
    // Quits when no browser and no picker is on screen; a program the bus
    // started first waits kIdleSeconds for the next request.
    void quitWhenIdle();
    void makeTrayIcon();

    QSystemTrayIcon* _tray = nullptr;
    BusServices* _services = nullptr;
    bool _startedByBus = false;
    bool _prepared = false;
    // The user closed the browser: taking the focus for a picker does not bring it back.
    bool _browserClosed = false;
    QTimer _idle;
};
