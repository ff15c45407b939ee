#include "platform/system/SessionBus.h"

#include <QFileInfo>
#include <QString>

bool SessionBus::addressKnown() {
    if (!qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").isEmpty()) {
        return true;
    }
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"));
}
