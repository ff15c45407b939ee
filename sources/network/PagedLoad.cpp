#include "sources/network/PagedLoad.h"

#include <QCoreApplication>
#include <QObject>
#include <QThreadPool>

#include <deque>
#include <mutex>

namespace {

// Pages on their way to the main thread, under a mutex of ours (Qt's event
// queue carries only the wake-up, as for the folder loads).
class PageMailbox : public QObject {
public:
    using QObject::QObject;

    void post(std::function<void()> call) {
        {
            std::lock_guard lock(_mutex);
            _calls.push_back(std::move(call));
        }
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }

private:
    void deliver() {
        std::deque<std::function<void()>> calls;
        {
            std::lock_guard lock(_mutex);
            calls.swap(_calls);
        }
        for (const std::function<void()>& call : calls) {
            call();
        }
    }

    std::mutex _mutex;
    std::deque<std::function<void()>> _calls;
};

PageMailbox* mailbox() {
    static PageMailbox* made = new PageMailbox(QCoreApplication::instance());
    return made;
}

// A pool of its own: reads that wait on a slow server must not hold up the
// folder loaders or the picture decoders.
QThreadPool* pagePool() {
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool(QCoreApplication::instance());
        made->setMaxThreadCount(4);
        made->setObjectName(QStringLiteral("NetworkPages"));
        return made;
    }();
    return pool;
}

} // namespace

std::shared_ptr<PagedLoad> PagedLoad::start(Reader reader, PageSink onPage, std::function<void()> onEnd) {
    auto load = std::make_shared<PagedLoad>();
    PageMailbox* toMainThread = mailbox();
    pagePool()->start([load, toMainThread, reader = std::move(reader), onPage = std::move(onPage),
                       onEnd = std::move(onEnd)]() mutable {
        // Shared between the posted calls; only the main thread runs them.
        auto deliverPage = std::make_shared<PageSink>(std::move(onPage));
        reader(*load, [&](MediaFolderContents&& page) {
            toMainThread->post(
                [load, deliverPage, page = std::make_shared<MediaFolderContents>(std::move(page))] {
                    if (!load->isCancelled()) {
                        (*deliverPage)(std::move(*page));
                    }
                });
        });
        toMainThread->post([load, onEnd = std::move(onEnd)] {
            if (!load->isCancelled() && onEnd) {
                onEnd();
            }
        });
    });
    return load;
}

void PagedLoad::waitForIdle() {
    pagePool()->waitForDone();
}
