#include "service/ParentWindow.h"

#include <QGuiApplication>
#include <QWidget>

WId ParentWindow::x11Id(const QString& handle) {
    // X resource ids have 29 bits: at most eight hexadecimal digits.
    if (!handle.startsWith(QLatin1String("x11:")) || handle.size() > 4 + 8 || handle.size() == 4) {
        return 0;
    }
    qulonglong id = 0;
    for (const QChar c : QStringView(handle).mid(4)) {
        const int digit = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (digit < 0) {
            return 0;
        }
        id = id * 16 + static_cast<qulonglong>(digit);
    }
    return id < (1ULL << 29) ? static_cast<WId>(id) : 0;
}

void ParentWindow::attach(QWidget* dialog, const QString& handle, bool modal) {
    const WId id = x11Id(handle);
    if (id == 0 || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    _foreign.reset(QWindow::fromWinId(id));
    if (_foreign == nullptr) {
        return;
    }
    dialog->winId(); // makes the dialog's own window, to give it a parent
    if (QWindow* window = dialog->windowHandle()) {
        window->setTransientParent(_foreign.get());
    }
    // Modal to that one window: other pickers and the browser stay usable.
    dialog->setWindowModality(modal ? Qt::WindowModal : Qt::NonModal);
}
