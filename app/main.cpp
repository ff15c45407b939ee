#include "app/FirstPaintProbe.h"
#include "app/QVMediaBrowserController.h"
#include "app/SingleInstance.h"
#include "service/BusServices.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QVMediaBrowser/QVMediaBrowser.h>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <thread>
#include <vector>

namespace {

// The desktop entry's name, which docks look windows up by.
const char kDesktopEntry[] = "org.qvmediabrowser.QVMediaBrowserApp";

// The program's arguments with the X window's instance name set to the
// desktop entry's name (Qt's -name), unless the caller chose one.
std::vector<char*> withInstanceName(int argc, char* argv[]) {
    std::vector<char*> arguments(argv, argv + argc);
    static char option[] = "-name";
    static char name[sizeof kDesktopEntry];
    std::copy(std::begin(kDesktopEntry), std::end(kDesktopEntry), name);
    if (std::none_of(arguments.begin(), arguments.end(),
                     [](const char* a) { return std::strcmp(a, option) == 0; })) {
        arguments.insert(arguments.begin() + std::min(argc, 1), {option, name});
    }
    arguments.push_back(nullptr);
    return arguments;
}

} // namespace

int main(int argc, char* argv[]) {
    // One malloc arena per core instead of glibc's eight per core: the
    // loaders, the picture decoders and the player each got an arena of their
    // own that kept what they freed. Ten minutes of use while the disk
    // changed (the soak test) ended at 186 MB with them, 127 MB without.
    mallopt(M_ARENA_MAX, std::max(2, static_cast<int>(std::thread::hardware_concurrency())));
    std::vector<char*> arguments = withInstanceName(argc, argv);
    int count = static_cast<int>(arguments.size()) - 1;
    QApplication app(count, arguments.data());
    QApplication::setApplicationName(QStringLiteral("QVMediaBrowserApp"));
    QApplication::setOrganizationName(QStringLiteral("qvmediabrowser"));
    // Docks find the desktop entry, and with it the icon, by the window: on
    // Wayland by this application id; on X by the window's instance name
    // (set above) or its class, the program's name, which the entry names.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/qvmediabrowserapp/icons/%1.png").arg(size), QSize(size, size));
    }
    // The icon theme's, where the program is installed; the program's own otherwise.
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kDesktopEntry), icon));

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
