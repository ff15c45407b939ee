#include "app/FirstPaintProbe.h"
#include "app/QVMediaBrowserController.h"
#include "app/SingleInstance.h"

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

    // Started while a copy runs: that copy comes forward and this one leaves.
    SingleInstance instance(SingleInstance::defaultKey());
    if (!instance.claim()) {
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

    QVMediaBrowserController controller;
    QObject::connect(&instance, &SingleInstance::reopenRequested, &controller,
                     [&controller] { controller.applicationShouldHandleReopen(); });
    QTimer::singleShot(0, &controller, [&controller] { controller.applicationDidFinishLaunching(); });
    return QApplication::exec();
}
