#include "service/BusServices.h"

#include "service/MediaPickerService.h"
#include "service/PickRequest.h"
#include "service/PortalFileChooser.h"

#include <QDBusConnectionInterface>
#include <QFileInfo>

const char BusServices::PickerServiceName[] = "org.qvmediabrowser.QVMediaBrowserApp";
const char BusServices::PickerObjectPath[] = "/org/qvmediabrowser/QVMediaBrowserApp";
const char BusServices::PortalServiceName[] = "org.freedesktop.impl.portal.desktop.qvmediabrowser";
const char BusServices::PortalObjectPath[] = "/org/freedesktop/portal/desktop";

namespace {

// More pickers at once than a person uses: a caller asking for more gets an
// error instead of covering the screen with windows.
constexpr qsizetype kMaxOpenPickers = 8;

// Asking Qt for the session bus with no address may start a stray bus
// daemon: only connect when an address is known.
bool sessionBusAddressKnown() {
    if (!qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").isEmpty()) {
        return true;
    }
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"));
}

} // namespace

BusServices::BusServices(QObject* parent)
    : QObject(parent)
    , _bus(QStringLiteral("qvmediabrowser-services")) {
}

BusServices::~BusServices() {
    for (PickRequest* request : _requests) {
        delete request;
    }
}

bool BusServices::start() {
    if (!sessionBusAddressKnown()) {
        return false;
    }
    _bus = QDBusConnection::sessionBus();
    if (!_bus.isConnected()) {
        return false;
    }
    _bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                 QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
                 SLOT(busDisconnected()));
    const auto options = QDBusConnection::ExportScriptableSlots;
    bool offered =
        _bus.registerObject(QLatin1String(PickerObjectPath), new MediaPickerService(this), options) &&
        _bus.registerObject(QLatin1String(PortalObjectPath), new PortalFileChooser(this), options);
    // A name another process holds stays its own: that process answers.
    for (const char* name : {PickerServiceName, PortalServiceName}) {
        offered = _bus.registerService(QLatin1String(name)) && offered;
    }
    return offered;
}

PickRequest* BusServices::startRequest(const QString& caller) {
    if (_requests.size() >= kMaxOpenPickers) {
        return nullptr;
    }
    auto* request = new PickRequest(_bus, caller);
    _requests.append(request);
    return request;
}

void BusServices::endRequest(PickRequest* request) {
    if (!_requests.removeOne(request)) {
        return;
    }
    request->close();
    request->deleteLater();
    if (!isBusy()) {
        Q_EMIT becameIdle();
    }
}

void BusServices::endHandingOn() {
    --_handedOn;
    if (!isBusy()) {
        Q_EMIT becameIdle();
    }
}

void BusServices::busDisconnected() {
    Q_EMIT busLost();
}
