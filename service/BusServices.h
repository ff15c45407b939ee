#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>

class PickRequest;

// The program's offers on the session bus: the browser's picking interface
// (org.qvmediabrowser.QVMediaBrowserApp) and the desktop portal's file
// chooser backend (org.freedesktop.impl.portal.desktop.qvmediabrowser). The
// bus starts the program for either (the .service files in packaging/). It
// keeps count of the pickers open for callers, so that the program does not
// quit under them.
class BusServices : public QObject {
    Q_OBJECT
public:
    static const char PickerServiceName[];
    static const char PickerObjectPath[];
    static const char PortalServiceName[];
    static const char PortalObjectPath[];

    explicit BusServices(QObject* parent = nullptr);
    ~BusServices() override;

    // Claims the names and offers the interfaces; false when there is no
    // session bus or a name belongs to another process.
    bool start();

    // A picker for caller, counted until endRequest(); none when too many
    // are open already.
    PickRequest* startRequest(const QString& caller);
    void endRequest(PickRequest* request);
    // A request handed on to another backend, counted until its answer has
    // been passed back: the program must not leave before.
    void startHandingOn() { ++_handedOn; }
    void endHandingOn();
    bool isBusy() const { return !_requests.isEmpty() || _handedOn > 0; }

    QDBusConnection connection() const { return _bus; }

Q_SIGNALS:
    // A caller asked for the browser window.
    void showRequested();
    // The last picker closed.
    void becameIdle();
    // The session bus went away.
    void busLost();

private Q_SLOTS:
    void busDisconnected();

private:
    QDBusConnection _bus;
    QList<PickRequest*> _requests;
    int _handedOn = 0;
};
