#pragma once

#include <QString>
#include <QWindow>

#include <memory>

class QWidget;

// The window a caller on the bus names, as the desktop portal writes it:
// "x11:" and the window's id in hexadecimal. A picker is placed above it (and
// made modal to it when asked), so that it stays with the application that
// asked. Wayland handles ("wayland:...") cannot be used from Qt and are
// ignored, as is anything else: the picker then opens on its own.
class ParentWindow {
public:
    // The X window id of a handle; 0 when it names none.
    static WId x11Id(const QString& handle);

    // Places dialog above the window handle names, modal to it if modal.
    // The dialog must not be shown yet.
    void attach(QWidget* dialog, const QString& handle, bool modal);

private:
    // Qt's stand-in for the other program's window: only its id is used,
    // nothing is drawn in it or read from it.
    std::unique_ptr<QWindow> _foreign;
};
