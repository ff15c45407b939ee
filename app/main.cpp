#include "app/FirstPaintProbe.h"
#include "app/QVMediaBrowserController.h"
#include "app/SingleInstance.h"
#include "service/BusServices.h"

#include <QApplication>
#include <QTimer>
#include <QVMediaBrowser/QVMediaBrowser.h>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QVMediaBrowserApp"));
    QApplication::setOrganizationName(QStringLiteral("qvmediabrowser"));

    // Started by the session bus for a picker (its .service files): no
    // browser window until one is asked for.
    const bool startedByBus = QApplication::arguments().contains(QStringLiteral("--service"));

    // Started while a copy runs: that copy comes forward and this one leaves.
    // Started by the bus while a copy runs, that copy serves (or another bus
    // started this one): it leaves the running copy alone.
    SingleInstance instance(SingleInstance::defaultKey());
    if (!(startedByBus ? instance.claimQuietly() : instance.claim())) {
        return 0;
    }

    std::unique_ptr<FirstPaintProbe> probe;
    if (qEnvironmentVariableIsSet("QVMB_EXIT_AFTER_FIRST_PAINT")) {
        // bench/startup.sh measures the time to the browser window's first paint.
        probe = std::make_unique<FirstPaintProbe>(
            [] {
                QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
                return browser->isWindowLoaded() ? browser->window() : nullptr;
            },
            qgetenv("QVMB_EXIT_AFTER_FIRST_PAINT").toLongLong());
        app.installEventFilter(probe.get());
    }

    // Making the shared browser installs the translations (its window loads later).
    QVMediaBrowser::sharedBrowser();
    QApplication::setApplicationDisplayName(QCoreApplication::translate("main", "Media Browser"));

    BusServices services;
    if (!services.start() && startedByBus) {
        return 0; // nothing to serve: the names are another process's
    }
    QVMediaBrowserController controller;
    controller.setServices(&services, startedByBus);
    QObject::connect(&instance, &SingleInstance::reopenRequested, &controller,
                     [&controller] { controller.applicationShouldHandleReopen(); });
    QTimer::singleShot(0, &controller, [&controller, startedByBus] {
        if (startedByBus) {
            controller.serviceDidFinishLaunching();
        } else {
            controller.applicationDidFinishLaunching();
        }
    });
    return QApplication::exec();
}
