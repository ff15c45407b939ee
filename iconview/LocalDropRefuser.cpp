#include "iconview/LocalDropRefuser.h"

#include <QDropEvent>
#include <QWidget>

LocalDropRefuser::LocalDropRefuser(const QMimeData* mimeData, const QWidget* window, QObject* parent)
    : QObject(parent)
    , _mimeData(mimeData)
    , _window(window) {
}

bool LocalDropRefuser::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (drop->mimeData() == _mimeData && widget != nullptr && widget->window() == _window) {
            drop->setDropAction(Qt::IgnoreAction);
            drop->ignore();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
