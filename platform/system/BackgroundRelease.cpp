#include "platform/system/BackgroundRelease.h"

#include "platform/system/WorkerThreads.h"

namespace BackgroundRelease {

namespace {

// Made on first use and never destroyed: the thread may still be freeing
// when the process ends, which then simply ends.
WorkerThreads& releaser() {
    static auto* made = new WorkerThreads(1, "Release");
    return *made;
}

} // namespace

void post(std::function<void()> drop) {
    releaser().start(std::move(drop));
}

void waitForIdle() {
    releaser().waitForDone();
}

} // namespace BackgroundRelease
