#pragma once

#include "platform/Export.h"

#include <QObject>
#include <QString>

#include <functional>

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

    // How the window is made from its description; set by the browser's window
    // assembly, replaceable in tests.
    using WindowLoader = std::function<QWidget*(QVMediaBrowser* owner, const QString& nibName)>;
    static void setWindowLoader(WindowLoader loader);

private:
    explicit QVMediaBrowser(const QString& nibName);
    ~QVMediaBrowser() override;

    int _typeMask = AllTypes;
    QString _nibName;
    QWidget* _window = nullptr;
    static QVMediaBrowser* _sharedBrowser;
};
