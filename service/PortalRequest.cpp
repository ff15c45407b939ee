#include "service/PortalRequest.h"

#include <QDBusMessage>

PortalRequest::PortalRequest(const QDBusConnection& bus, const QString& handle, const QString& caller,
                             QObject* parent)
    : QObject(parent)
    , _bus(bus)
    , _handle(handle)
    , _caller(caller) {
    // Our own objects' paths are no request's.
    if (!handle.startsWith(QLatin1String("/org/freedesktop/portal/desktop/"))) {
        return;
    }
    _registered = _bus.registerObject(handle, this, QDBusConnection::ExportScriptableSlots);
}

PortalRequest::~PortalRequest() {
    if (_registered) {
        _bus.unregisterObject(_handle);
    }
}

void PortalRequest::Close() {
    if (message().service() != _caller) {
        sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Only the request's caller may close it"));
        return;
    }
    Q_EMIT closeRequested();
}
