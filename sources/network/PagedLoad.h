#pragma once

#include "model/FolderLoad.h"
#include "platform/system/LoadProgress.h"

#include <atomic>
#include <functional>
#include <memory>

// The rest of a network folder's contents, read on a worker after the first
// page was published: each page reaches the main thread as soon as it is
// read, so that a container of thousands of items fills while the user
// already looks at its first screen. Cancelled (and its pages dropped) when
// the folder goes or is read again.
class PagedLoad : public LoadProgress, public std::enable_shared_from_this<PagedLoad> {
public:
    using PageSink = std::function<void(MediaFolderContents&& page)>;
    // Reads page after page, handing each to page (on the worker).
    using Reader = std::function<void(LoadProgress& progress, const PageSink& page)>;

    // Starts reading. onPage runs on the main thread for each page, in
    // order; onEnd once after the last (not after cancel()).
    static std::shared_ptr<PagedLoad> start(Reader reader, PageSink onPage, std::function<void()> onEnd);

    void cancel() { _cancelled = true; }
    bool isCancelled() const override { return _cancelled; }

    // Waits until no paged load is running any more (tests, shutdown).
    static void waitForIdle();

private:
    std::atomic<bool> _cancelled{false};
};
