#pragma once

#include "model/FolderMerge.h"
#include "model/MediaItem.h"
#include "model/SearchIndex.h"
#include "platform/Export.h"
#include "platform/system/LoadProgress.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class MediaFolder;
class MainThreadMailbox;

// What reading a folder produced: its sub-folders and items, built off the
// main thread and not yet seen by anyone.
struct MediaFolderContents {
    std::vector<std::shared_ptr<MediaFolder>> folders;
    std::vector<MediaItemPtr> files;
    // The source could not be read (or not to its end, in one consistent
    // state): a folder that showed something keeps it.
    bool failed = false;
    // The source was read and shows what the last read showed (an application
    // saved its catalogue for changes not shown here): nothing to take.
    bool unchanged = false;
    // Set by a reader whose items know their texts without reading files
    // (catalogue entries, pictures named after their files): a background
    // load then also folds the files' texts for searching, so that the first
    // keystroke finds them ready.
    bool foldForSearch = false;
    std::shared_ptr<const SearchIndex::Folded> searchTexts;
    // For a read merged with what the folder showed: what changed in its items.
    FolderMerge::ItemChanges itemChanges;
};

// A self-contained reading step: it must hold copies of everything it needs,
// touch no shared state and post nothing, so it can run on any thread.
using MediaFolderReader = std::function<MediaFolderContents(LoadProgress&)>;

// One read on a worker. The worker fills the result; the main thread takes
// it, either when the queued delivery arrives or, for a caller that needs the
// folder now, by waiting.
//
// The loaders belong to the application object: they are made with the first
// load it sees and go with it, and when it starts to quit every read is
// cancelled, so that quitting never waits for a library to be read.
class FolderLoadJob : public LoadProgress, public std::enable_shared_from_this<FolderLoadJob> {
public:
    explicit FolderLoadJob(MediaFolderReader reader);
    ~FolderLoadJob() override;

    // Starts reading on the loaders' thread pool. deliver runs on the main
    // thread once the result is ready (and only while the event loop runs).
    // progressChanged runs on the main thread when the whole percentage read
    // changes. Both are dropped after cancel().
    static void start(const std::shared_ptr<FolderLoadJob>& job, std::function<void()> deliver,
                      std::function<void()> progressChanged);

    // Waits for the worker and takes its result (once).
    MediaFolderContents take();
    bool isTaken() const { return _taken; }
    // Whole percentage read as last announced on the main thread (each step
    // in turn, however far the worker has got meanwhile), or -1 before any.
    int percent() const { return _shownPercent; }

    void cancel();
    void setFraction(double fraction) override;
    bool isCancelled() const override;

    // Waits until no load is running any more (tests, shutdown).
    static void waitForIdle();
    // Cancels every read under way (the application quits).
    static void cancelAll();

private:
    void run();

    MediaFolderReader _reader;
    // Where results and progress go: set on the main thread before the worker
    // starts, and alive until every worker is done.
    MainThreadMailbox* _mailbox = nullptr;
    std::function<void()> _deliver;         // main thread only
    std::function<void()> _progressChanged; // main thread only
    std::atomic<bool> _cancelled{false};
    std::atomic<int> _percent{-1}; // as the worker last reported it
    int _shownPercent = -1;        // main thread only
    std::mutex _mutex;
    std::condition_variable _done;
    bool _finished = false;                     // guarded by _mutex
    std::optional<MediaFolderContents> _result; // guarded by _mutex
    bool _taken = false;                        // main thread only
};
