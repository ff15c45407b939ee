#pragma once

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

class BusServices;

// The desktop portal's file chooser backend (org.freedesktop.impl.portal.
// FileChooser). A request to open pictures, audio or video files (every
// filter of those types) is answered with the browser's picker; every other
// request — documents, folders, saving — is handed on unchanged to the
// backend the desktop would otherwise use (PortalBackends), so installing the
// browser takes no feature away. Without another backend such requests fail.
class PortalFileChooser : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.impl.portal.FileChooser")
public:
    explicit PortalFileChooser(BusServices* services);

public Q_SLOTS:
    Q_SCRIPTABLE uint OpenFile(const QDBusObjectPath& handle, const QString& app_id,
                               const QString& parent_window, const QString& title, const QVariantMap& options,
                               QVariantMap& results);
    Q_SCRIPTABLE uint SaveFile(const QDBusObjectPath& handle, const QString& app_id,
                               const QString& parent_window, const QString& title, const QVariantMap& options,
                               QVariantMap& results);
    Q_SCRIPTABLE uint SaveFiles(const QDBusObjectPath& handle, const QString& app_id,
                                const QString& parent_window, const QString& title,
                                const QVariantMap& options, QVariantMap& results);

private:
    // Sends the call being handled to the other backend and its answer back.
    void handOn();

    BusServices* _services;
};
