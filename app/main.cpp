#include "app/QVMediaBrowserController.h"
#include "app/SingleInstance.h"
#include "browser/QVMediaBrowser.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {
// Start-up measurement, opt-in: with QVMB_EXIT_AFTER_FIRST_PAINT=<start time
// in ns since the epoch> the program prints "first-paint-ms N" (N measured
// from that start) once the browser window has painted for the first time,
// and quits. bench/startup.sh uses it; nothing changes without the variable.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(qint64 startNs)
        : _startNs(startNs) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Paint || _seen || widget == nullptr ||
            !QVMediaBrowser::sharedBrowser()->isWindowLoaded() ||
            widget->window() != QVMediaBrowser::sharedBrowser()->window()) {
            return false;
        }
        _seen = true;
        // The whole window paints in one pass: measure once it is over.
        QTimer::singleShot(0, this, [this] {
            const qint64 nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
            std::printf("first-paint-ms %.1f\n", double(nowNs - _startNs) / 1e6);
            std::fflush(stdout);
            QApplication::quit();
        });
        return false;
    }

private:
    qint64 _startNs;
    bool _seen = false;
};
} // namespace

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

    std::unique_ptr<FirstPaintProbe> probe;
    if (qEnvironmentVariableIsSet("QVMB_EXIT_AFTER_FIRST_PAINT")) {
        probe = std::make_unique<FirstPaintProbe>(qgetenv("QVMB_EXIT_AFTER_FIRST_PAINT").toLongLong());
        app.installEventFilter(probe.get());
    }

    QVMediaBrowserController controller;
    QObject::connect(&instance, &SingleInstance::reopenRequested, &controller,
                     [&controller] { controller.applicationShouldHandleReopen(); });
    QTimer::singleShot(0, &controller, [&controller] { controller.applicationDidFinishLaunching(); });
    return QApplication::exec();
}
