#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

// The request object the desktop portal closes a file chooser request
// through (org.freedesktop.impl.portal.Request at the request's handle),
// when the application asks or goes away. Only the caller that made the
// request may close it. Registered while it lives.
class PortalRequest : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.impl.portal.Request")
public:
    PortalRequest(const QDBusConnection& bus, const QString& handle, const QString& caller,
                  QObject* parent = nullptr);
    ~PortalRequest() override;

    // False when the handle is not an object path or another request has it.
    bool isRegistered() const { return _registered; }

public Q_SLOTS:
    Q_SCRIPTABLE void Close();

Q_SIGNALS:
    void closeRequested();

private:
    QDBusConnection _bus;
    QString _handle;
    QString _caller;
    bool _registered = false;
};
