#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <functional>

// Start-up measurement, opt-in: installed as an application event filter when
// QVMB_EXIT_AFTER_FIRST_PAINT holds the start time (ns since the epoch), it
// prints "first-paint-ms N" once the watched window has painted for the first
// time, and quits. Shared by the program and bench/startup.sh's bare baseline.
class FirstPaintProbe : public QObject {
public:
    // window answers the window to watch, or none while it does not exist yet.
    FirstPaintProbe(std::function<QWidget*()> window, qint64 startNs)
        : _window(std::move(window))
        , _startNs(startNs) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Paint || _seen || widget == nullptr) {
            return false;
        }
        QWidget* window = _window();
        if (window == nullptr || widget->window() != window) {
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
    std::function<QWidget*()> _window;
    qint64 _startNs;
    bool _seen = false;
};
