#include "iconview/LocalDropRefuser.h"

#include <QDropEvent>

LocalDropRefuser::LocalDropRefuser(const QMimeData* mimeData, QObject* parent)
    : QObject(parent)
    , _mimeData(mimeData) {
}

bool LocalDropRefuser::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData() == _mimeData) {
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
