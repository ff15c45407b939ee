#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// Calls handed from worker threads to the thread this object lives on (the
// main thread), run there in the order posted. The calls pass through a queue
// of ours under a mutex of ours, and Qt's event queue only carries the
// wake-up: Qt is not built for ThreadSanitizer, which would otherwise not see
// that what a worker built is complete before the main thread reads it. The
// wake-up is posted under that mutex too: Qt allocates its event on the
// worker and frees it on the main thread after deliver, which takes the mutex
// first, so the allocation and the free are ordered where it can see it.
class MainThreadMailbox : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Any thread.
    void post(std::function<void()> call);
    // Drops what was not delivered (on the main thread, once no worker posts).
    void drop();

private:
    Q_INVOKABLE void deliver();

    std::mutex _mutex;
    std::deque<std::function<void()>> _calls;
};
