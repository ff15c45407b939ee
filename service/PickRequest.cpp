#include "service/PickRequest.h"

#include <QDBusConnectionInterface>
#include <QTimer>
#include <QVMediaBrowser/QVMediaPicker.h>

PickRequest::PickRequest(const QDBusConnection& bus, const QString& caller, QObject* parent)
    : QObject(parent)
    , _picker(new QVMediaPicker())
    , _watcher(caller, bus, QDBusServiceWatcher::WatchForUnregistration) {
    connect(_picker, &QDialog::finished, this, &PickRequest::pickerFinished);
    connect(&_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        close();
        Q_EMIT callerGone();
    });
    // Gone before the watch began: the same, once the owner has connected.
    if (bus.interface() != nullptr && !bus.interface()->isServiceRegistered(caller)) {
        QTimer::singleShot(0, this, [this] {
            close();
            Q_EMIT callerGone();
        });
    }
}

PickRequest::~PickRequest() {
    close();
}

void PickRequest::open(const QString& parentWindow, bool modal) {
    _parent.attach(_picker, parentWindow, modal);
    _picker->show();
    _picker->raise();
    _picker->activateWindow();
}

void PickRequest::close() {
    _answered = true;
    if (_picker != nullptr) {
        // Deleted once its own events are done: close() may be called from one.
        _picker->hide();
        _picker->deleteLater();
        _picker = nullptr;
    }
}

void PickRequest::pickerFinished(int result) {
    if (_answered) {
        return;
    }
    _answered = true;
    if (result == QDialog::Accepted) {
        Q_EMIT chosen(_picker->chosenUrls());
    } else {
        Q_EMIT cancelled();
    }
}
