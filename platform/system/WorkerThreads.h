#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A few threads of our own that run tasks in the order given. Every hand-over
// passes through a mutex of ours: ThreadSanitizer sees it (Qt's thread pool
// synchronises inside Qt, which is not built for it), and the threads never
// take work meant for the global pool's picture decoders. Going, the threads
// run what is queued to its end and are joined.
class WorkerThreads {
public:
    WorkerThreads(int count, const char* name);
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    void start(std::function<void()> task);
    // Waits until nothing is queued or running.
    void waitForDone();

private:
    void work();

    std::mutex _mutex;
    std::condition_variable _work;
    std::condition_variable _idle;
    std::deque<std::function<void()>> _tasks;
    int _running = 0;
    bool _stopping = false;
    std::vector<std::thread> _threads;
};
