#pragma once

#include <QObject>
#include <QString>
#include <QVMediaBrowser/Export.h>

class MediaBrowserWindow;
class QMenu;
class QWidget;

// The library's front door: the one browser window of the process. A host
// application asks for sharedBrowser(), may set the type mask before the
// window is first loaded, and shows the window or the preferences.
class QVMB_EXPORT QVMediaBrowser : public QObject {
    Q_OBJECT
public:
    // Media kinds the tab bar offers, added together.
    enum TypeMaskBits { Pictures = 1, Music = 2, Movies = 4, AllTypes = 7 };

    static QVMediaBrowser* sharedBrowser();
    // Every creation yields the one browser: the window description's name is
    // used only by the first.
    static QVMediaBrowser* initWithWindowNibName(const QString& name);

    int typeMask() const { return _typeMask; }
    // Takes effect only before the window is first loaded.
    void setTypeMask(int mask) { _typeMask = mask; }

    // The browser window, loaded on first use.
    QWidget* window();
    bool isWindowLoaded() const { return _window != nullptr; }
    // Loads the window if needed and brings it to the front.
    void showWindow(QObject* sender = nullptr);
    void showPreferences(QObject* sender = nullptr);

    // The menu of the window's command button; hosts may add their commands
    // (the program adds Quit). Loads the window.
    QMenu* commandMenu();

private:
    explicit QVMediaBrowser(const QString& nibName);
    ~QVMediaBrowser() override;

    int _typeMask = AllTypes;
    QString _nibName;
    MediaBrowserWindow* _window = nullptr;
    static QVMediaBrowser* _sharedBrowser;
};
