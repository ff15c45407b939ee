#include "platform/system/MainThreadMailbox.h"

void MainThreadMailbox::post(std::function<void()> call) {
    std::lock_guard lock(_mutex);
    _calls.push_back(std::move(call));
    QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
}

void MainThreadMailbox::deliver() {
    std::deque<std::function<void()>> calls;
    {
        std::lock_guard lock(_mutex);
        calls.swap(_calls);
    }
    for (const std::function<void()>& call : calls) {
        call();
    }
}

void MainThreadMailbox::drop() {
    std::deque<std::function<void()>> calls;
    std::lock_guard lock(_mutex);
    calls.swap(_calls);
}
