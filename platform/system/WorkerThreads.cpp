#include "platform/system/WorkerThreads.h"

#include <pthread.h>
#include <string>

WorkerThreads::WorkerThreads(int count, const char* name) {
    const std::string threadName = std::string(name).substr(0, 15); // the kernel's limit
    for (int i = 0; i < count; ++i) {
        _threads.emplace_back([this, threadName] {
            pthread_setname_np(pthread_self(), threadName.c_str());
            work();
        });
    }
}

WorkerThreads::~WorkerThreads() {
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
    }
    _work.notify_all();
    for (std::thread& thread : _threads) {
        thread.join();
    }
}

void WorkerThreads::start(std::function<void()> task) {
    {
        std::lock_guard lock(_mutex);
        _tasks.push_back(std::move(task));
    }
    _work.notify_one();
}

void WorkerThreads::waitForDone() {
    std::unique_lock lock(_mutex);
    _idle.wait(lock, [this] { return _tasks.empty() && _running == 0; });
}

void WorkerThreads::work() {
    std::unique_lock lock(_mutex);
    for (;;) {
        _work.wait(lock, [this] { return _stopping || !_tasks.empty(); });
        if (_tasks.empty()) {
            return; // stopping, and nothing left to run
        }
        std::function<void()> task = std::move(_tasks.front());
        _tasks.pop_front();
        ++_running;
        lock.unlock();
        task();
        task = nullptr; // what it held goes before the next task is taken
        lock.lock();
        --_running;
        if (_tasks.empty() && _running == 0) {
            _idle.notify_all();
        }
    }
}
