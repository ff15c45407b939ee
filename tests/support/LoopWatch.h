#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// Longest the main thread was away from its event loop while the watch
// lived, timed by a timer that fires every 10 ms.
struct LoopWatch {
    QTimer timer;
    QElapsedTimer since;
    qint64 longest = 0;
    LoopWatch() {
        since.start();
        QObject::connect(&timer, &QTimer::timeout, [this] { longest = std::max(longest, since.restart()); });
        timer.start(10);
    }
};
