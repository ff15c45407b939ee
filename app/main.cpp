#include "app/QVMediaBrowserController.h"
#include "app/SingleInstance.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QVMediaBrowserApp"));
    QApplication::setOrganizationName(QStringLiteral("qvmediabrowser"));
    QApplication::setApplicationDisplayName(QStringLiteral("Media Browser"));

    // Started while a copy runs: that copy comes forward and this one leaves.
    SingleInstance instance(SingleInstance::defaultKey());
    if (!instance.claim()) {
        return 0;
    }

    QVMediaBrowserController controller;
    QObject::connect(&instance, &SingleInstance::reopenRequested, &controller,
                     [&controller] { controller.applicationShouldHandleReopen(); });
    QTimer::singleShot(0, &controller, [&controller] { controller.applicationDidFinishLaunching(); });
    return QApplication::exec();
}
