#include "platform/system/BackgroundRelease.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace BackgroundRelease {

namespace {

class Releaser {
public:
    Releaser() {
        std::thread([this] { run(); }).detach();
    }

    void post(std::function<void()> drop) {
        {
            std::lock_guard lock(_mutex);
            _queue.push_back(std::move(drop));
        }
        _work.notify_one();
    }

    void waitForIdle() {
        std::unique_lock lock(_mutex);
        _idle.wait(lock, [this] { return _queue.empty() && !_busy; });
    }

private:
    void run() {
        std::unique_lock lock(_mutex);
        for (;;) {
            _work.wait(lock, [this] { return !_queue.empty(); });
            std::function<void()> drop = std::move(_queue.front());
            _queue.pop_front();
            _busy = true;
            lock.unlock();
            drop();
            drop = nullptr;
            lock.lock();
            _busy = false;
            if (_queue.empty()) {
                _idle.notify_all();
            }
        }
    }

    std::mutex _mutex;
    std::condition_variable _work;
    std::condition_variable _idle;
    std::deque<std::function<void()>> _queue;
    bool _busy = false;
};

// Made on first use and never destroyed: the thread may still be freeing
// when the process ends, which then simply ends.
Releaser& releaser() {
    static Releaser* made = new Releaser;
    return *made;
}

} // namespace

void post(std::function<void()> drop) {
    releaser().post(std::move(drop));
}

void waitForIdle() {
    releaser().waitForIdle();
}

} // namespace BackgroundRelease
