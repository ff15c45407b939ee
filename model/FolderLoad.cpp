#include "model/FolderLoad.h"

#include "platform/system/MainThreadMailbox.h"
#include "platform/system/WorkerThreads.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <deque>
#include <set>

// The loaders of one application object: two threads of their own, so that
// long catalogue reads never hold up the picture decoders on the global pool,
// and the mailbox back to the main thread. A child of the application
// object: a host that makes a second one after the first is gone gets new
// loaders. When the application starts to quit, every read is cancelled;
// going, the loaders wait for the reads still running (each stops at its next
// step) and drop what they would have delivered.
class FolderLoaders : public QObject {
    Q_OBJECT
public:
    explicit FolderLoaders(QCoreApplication* application)
        : QObject(application)
        , mailbox(this) {
        connect(application, &QCoreApplication::aboutToQuit, this, [] { FolderLoadJob::cancelAll(); });
    }

    ~FolderLoaders() override {
        FolderLoadJob::cancelAll();
        threads.waitForDone();
        mailbox.drop();
    }

    static FolderLoaders* current() {
        static QPointer<FolderLoaders> loaders;
        if (!loaders && QCoreApplication::instance() != nullptr) {
            loaders = new FolderLoaders(QCoreApplication::instance());
        }
        return loaders;
    }

    WorkerThreads threads{2, "FolderLoaders"};
    MainThreadMailbox mailbox;
};

namespace {

// The jobs that may still read (main thread).
std::mutex jobsMutex;
std::set<FolderLoadJob*> liveJobs;

} // namespace

FolderLoadJob::FolderLoadJob(MediaFolderReader reader)
    : _reader(std::move(reader)) {
    std::lock_guard lock(jobsMutex);
    liveJobs.insert(this);
}

FolderLoadJob::~FolderLoadJob() {
    std::lock_guard lock(jobsMutex);
    liveJobs.erase(this);
}

void FolderLoadJob::start(const std::shared_ptr<FolderLoadJob>& job, std::function<void()> deliver,
                          std::function<void()> progressChanged) {
    job->_deliver = std::move(deliver);
    job->_progressChanged = std::move(progressChanged);
    FolderLoaders* loaders = FolderLoaders::current();
    if (loaders == nullptr) {
        job->run(); // no application object: read now, deliver never
        return;
    }
    MainThreadMailbox* toMainThread = &loaders->mailbox;
    job->_mailbox = toMainThread;
    loaders->threads.start([strong = job, toMainThread]() mutable {
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

void FolderLoadJob::run() {
    MediaFolderContents contents;
    if (!isCancelled()) {
        contents = _reader(*this);
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
    if (_mailbox == nullptr) {
        return;
    }
    std::weak_ptr<FolderLoadJob> weak = weak_from_this();
    _mailbox->post([weak, percent] {
        const std::shared_ptr<FolderLoadJob> job = weak.lock();
        if (job && !job->_cancelled.load() && !job->_taken && job->_progressChanged) {
            job->_shownPercent = percent;
            job->_progressChanged();
        }
    });
}

void FolderLoadJob::waitForIdle() {
    if (FolderLoaders* loaders = FolderLoaders::current()) {
        loaders->threads.waitForDone();
    }
}

void FolderLoadJob::cancelAll() {
    std::lock_guard lock(jobsMutex);
    for (FolderLoadJob* job : liveJobs) {
        job->_cancelled.store(true);
    }
}

#include "FolderLoad.moc"
