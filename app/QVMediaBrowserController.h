#pragma once

#include <QObject>

class QSystemTrayIcon;

// The program's delegate: shows the browser when launching has finished,
// whenever the program becomes active and when it is started again, and
// offers the commands Show Media Browser, Preferences… and Quit from a tray
// icon where the desktop has a tray.
class QVMediaBrowserController : public QObject {
    Q_OBJECT
public:
    explicit QVMediaBrowserController(QObject* parent = nullptr);

    void applicationDidFinishLaunching();
    void applicationDidBecomeActive();
    // The program was started again while running: bring the browser forward.
    bool applicationShouldHandleReopen();
    void showMediaBrowser(QObject* sender = nullptr);
    void showPreferences(QObject* sender = nullptr);

    bool hasTrayIcon() const { return _tray != nullptr; }

protected:
    // Without a tray, the browser window's close quits the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeTrayIcon();
    QSystemTrayIcon* _tray = nullptr;
};
