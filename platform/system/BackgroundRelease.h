#pragma once

#include "platform/system/LoadProgress.h"

#include <functional>
#include <memory>
#include <tuple>
#include <utility>

// Lets go of what a reader had built, on a thread of its own, when the load
// it was building for is given up: freeing a million items takes a tenth of a
// second, and a load given up should stop at once, leaving its loader free
// for the next one. The thread lives as long as the process and frees one
// handful at a time, in the order given.
namespace BackgroundRelease {

// Runs drop (which holds the last references) on the releasing thread.
void post(std::function<void()> drop);

// Lets go of the objects given, on the releasing thread.
template <typename... Doomed> void release(Doomed&&... doomed) {
    auto held = std::make_shared<std::tuple<std::decay_t<Doomed>...>>(std::move(doomed)...);
    post([held = std::move(held)]() mutable { held.reset(); });
}

// Waits until everything given so far is let go (benchmarks, tests).
void waitForIdle();

// Declared after a reader's large objects: when the scope ends with the load
// given up, they are let go on the releasing thread instead of here.
template <typename... Objects> class WhenCancelled {
public:
    explicit WhenCancelled(const LoadProgress& progress, Objects&... objects)
        : _progress(progress)
        , _objects(objects...) {}
    ~WhenCancelled() {
        if (_progress.isCancelled()) {
            std::apply([](Objects&... objects) { release(std::move(objects)...); }, _objects);
        }
    }
    WhenCancelled(const WhenCancelled&) = delete;
    WhenCancelled& operator=(const WhenCancelled&) = delete;

private:
    const LoadProgress& _progress;
    std::tuple<Objects&...> _objects;
};

} // namespace BackgroundRelease
