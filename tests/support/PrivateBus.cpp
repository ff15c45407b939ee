#include "support/PrivateBus.h"

PrivateBus::PrivateBus()
    : _oldAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS")) {
    _daemon.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                   QStringLiteral("--print-address=1")});
    if (!_daemon.waitForStarted(5000)) {
        return;
    }
    while (!_daemon.canReadLine() && _daemon.waitForReadyRead(5000)) {
    }
    _address = _daemon.readLine().trimmed();
    if (!_address.isEmpty()) {
        qputenv("DBUS_SESSION_BUS_ADDRESS", _address);
    }
}

PrivateBus::~PrivateBus() {
    if (_oldAddress.isEmpty()) {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    } else {
        qputenv("DBUS_SESSION_BUS_ADDRESS", _oldAddress);
    }
    _daemon.terminate();
    if (!_daemon.waitForFinished(3000)) {
        _daemon.kill();
        _daemon.waitForFinished(3000);
    }
}
