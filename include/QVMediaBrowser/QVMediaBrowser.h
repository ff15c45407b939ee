#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVMediaBrowser/Export.h>
#include <QVMediaBrowser/MediaItemInfo.h>

class MediaBrowserWindow;
class PickerMode;
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

    // In picker mode, Enter, a double-click or the Choose button shown beside
    // the item count hand the selected items to itemsChosen() instead of
    // playing or previewing them. Off by default. For a one-off choice in a
    // dialog, see QVMediaPicker.
    void setPickerMode(bool on);
    bool isPickerMode() const { return _pickerMode; }

Q_SIGNALS:
    // In picker mode: the user chose these items, in the list's order.
    void itemsChosen(const QList<QVMediaItemInfo>& items);

private:
    void applyPickerMode();

    explicit QVMediaBrowser(const QString& nibName);
    ~QVMediaBrowser() override;

    int _typeMask = AllTypes;
    QString _nibName;
    MediaBrowserWindow* _window = nullptr;
    bool _pickerMode = false;
    PickerMode* _picker = nullptr;
    static QVMediaBrowser* _sharedBrowser;
};
