#include "model/FolderLoad.h"

#include "model/MediaFolder.h"

#include <QCoreApplication>
#include <QObject>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <deque>

// What the loaders hand to the main thread, taken there in order. The calls
// pass through a queue of ours under a mutex of ours, and Qt's event queue
// only carries the wake-up: Qt is not built for ThreadSanitizer, whose check
// of the loading code would otherwise not see that the hand-over is ordered.
class FolderLoadMailbox : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void post(std::function<void()> call) {
        {
            std::lock_guard lock(_mutex);
            _calls.push_back(std::move(call));
        }
        QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
    }

    Q_INVOKABLE void deliver() {
        std::deque<std::function<void()>> calls;
        {
            std::lock_guard lock(_mutex);
            calls.swap(_calls);
        }
        for (const std::function<void()>& call : calls) {
            call();
        }
    }

private:
    std::mutex _mutex;
    std::deque<std::function<void()>> _calls;
};

namespace {

// Made on the main thread by the first load, which asks for it before any
// loader runs; owned by the application object.
FolderLoadMailbox* mailbox() {
    static FolderLoadMailbox* made = new FolderLoadMailbox(QCoreApplication::instance());
    return made;
}

// The loaders' own pool, so that long catalogue reads never hold up the
// picture decoders on the global pool. Made on the main thread by the first
// load and owned by the application object, which waits for running reads
// before it goes.
QThreadPool* loaderPool() {
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool(QCoreApplication::instance());
        made->setMaxThreadCount(2);
        made->setObjectName(QStringLiteral("FolderLoaders"));
        return made;
    }();
    return pool;
}

} // namespace

FolderLoadJob::FolderLoadJob(MediaFolderReader reader)
    : _reader(std::move(reader)) {
}

void FolderLoadJob::start(const std::shared_ptr<FolderLoadJob>& job, std::function<void()> deliver,
                          std::function<void()> progressChanged) {
    job->_deliver = std::move(deliver);
    job->_progressChanged = std::move(progressChanged);
    QThreadPool* pool = loaderPool();
    FolderLoadMailbox* toMainThread = mailbox();
    pool->start([strong = job, toMainThread]() mutable {
        strong->run();
        // Hand the job back to the main thread, which then holds the last
        // reference: what the reader built is released there, never here.
        toMainThread->post([job = std::move(strong)] {
            if (!job->_cancelled.load() && job->_deliver) {
                job->_deliver();
            }
        });
    });
}

void FolderLoadJob::foldLargeSubFolders(const std::vector<std::shared_ptr<MediaFolder>>& folders) {
    // Playlists and albums that hold much of the library (a catalogue's
    // "Music" playlist) are folded too; small ones fold fast enough when first
    // searched.
    constexpr std::size_t kLarge = 20000;
    for (const std::shared_ptr<MediaFolder>& folder : folders) {
        if (isCancelled()) {
            return;
        }
        if (folder->isLoaded()) {
            if (folder->files().size() >= kLarge) {
                folder->foldForSearch();
            }
            foldLargeSubFolders(folder->folders());
        }
    }
}

void FolderLoadJob::run() {
    MediaFolderContents contents;
    if (!isCancelled()) {
        contents = _reader(*this);
    }
    if (contents.foldForSearch && !isCancelled()) {
        contents.searchTexts = SearchIndex::fold(contents.files);
        foldLargeSubFolders(contents.folders);
    }
    {
        std::lock_guard lock(_mutex);
        _result = std::move(contents);
        _finished = true;
    }
    _done.notify_all();
}

MediaFolderContents FolderLoadJob::take() {
    std::unique_lock lock(_mutex);
    _done.wait(lock, [this] { return _finished; });
    _taken = true;
    MediaFolderContents contents = std::move(*_result);
    _result.reset();
    return contents;
}

void FolderLoadJob::cancel() {
    _cancelled.store(true);
    _deliver = nullptr;
    _progressChanged = nullptr;
}

bool FolderLoadJob::isCancelled() const {
    return _cancelled.load(std::memory_order_relaxed);
}

void FolderLoadJob::setFraction(double fraction) {
    const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0));
    if (_percent.exchange(percent, std::memory_order_relaxed) == percent) {
        return;
    }
    std::weak_ptr<FolderLoadJob> weak = weak_from_this();
    mailbox()->post([weak, percent] {
        const std::shared_ptr<FolderLoadJob> job = weak.lock();
        if (job && !job->_cancelled.load() && !job->_taken && job->_progressChanged) {
            job->_shownPercent = percent;
            job->_progressChanged();
        }
    });
}

void FolderLoadJob::waitForIdle() {
    loaderPool()->waitForDone();
}

#include "FolderLoad.moc"
