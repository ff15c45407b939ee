#include "platform/system/WindowFrameAutosave.h"

#include <QEvent>
#include <QSettings>
#include <QWidget>

WindowFrameAutosave::WindowFrameAutosave(QWidget* window, const QString& name)
    : QObject(window)
    , _window(window)
    , _name(name) {
    const QByteArray saved = QSettings().value(settingsKey(name)).toByteArray();
    if (!saved.isEmpty()) {
        window->restoreGeometry(saved);
    }
    window->installEventFilter(this);
}

QString WindowFrameAutosave::settingsKey(const QString& name) {
    return QStringLiteral("WindowFrames/") + name;
}

bool WindowFrameAutosave::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _window) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Hide:
            if (_window->isVisible() || event->type() == QEvent::Hide) {
                save();
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowFrameAutosave::save() {
    QSettings().setValue(settingsKey(_name), _window->saveGeometry());
}
