#pragma once

#include <QByteArray>
#include <QProcess>

// A private D-Bus session daemon for one test. While the object lives,
// DBUS_SESSION_BUS_ADDRESS points at it.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !_address.isEmpty(); }
    QByteArray address() const { return _address; }

private:
    QProcess _daemon;
    QByteArray _address;
    QByteArray _oldAddress;
};
