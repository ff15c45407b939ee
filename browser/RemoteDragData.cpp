#include "browser/RemoteDragData.h"

#include "model/MediaItem.h"
#include "model/Photo.h"
#include "platform/network/RemoteDownload.h"
#include "platform/network/RemoteFiles.h"
#include "platform/system/Path.h"
#include "sources/network/NetworkItems.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QWidget>

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
// Transfers that end this soon show no progress window.
constexpr int kProgressDelayMs = 300;

// Whether the item lives on a media server or a share (a catalogue's
// entries at web addresses are nothing to fetch).
bool isRemoteItem(const MediaItem& item) {
    return NetworkItems::detailsOf(item) != nullptr && RemoteFiles::isRemote(item.url());
}

// The local file of an item on disk, or an empty URL.
QUrl localFile(const MediaItem& item) {
    if (const auto* photo = dynamic_cast<const Photo*>(&item); photo != nullptr && !photo->path().isEmpty()) {
        return Path::fileUrl(photo->path());
    }
    const QString path = Path::localPath(item.url());
    return path.isEmpty() ? QUrl() : Path::fileUrl(path);
}

} // namespace

RemoteDragData::RemoteDragData(QWidget* window)
    : _window(window) {
}

RemoteDragData::~RemoteDragData() = default;

bool RemoteDragData::needsFetching(const std::vector<MediaItem*>& items) {
    for (const MediaItem* item : items) {
        if (item != nullptr && localFile(*item).isEmpty() && isRemoteItem(*item)) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<QMimeData> RemoteDragData::forDragOf(const std::vector<MediaItem*>& items, QWidget* window) {
    if (!needsFetching(items)) {
        return nullptr;
    }
    return std::make_unique<RemoteDragData>(window);
}

bool RemoteDragData::takeItems(QMimeData* pasteboard, const std::vector<MediaItem*>& items) {
    auto* remote = qobject_cast<RemoteDragData*>(pasteboard);
    if (remote == nullptr) {
        return false;
    }
    remote->setItems(items);
    return true;
}

void RemoteDragData::setItems(const std::vector<MediaItem*>& items) {
    _entries.clear();
    for (MediaItem* item : items) {
        if (item == nullptr) {
            continue;
        }
        Entry entry;
        entry.local = localFile(*item);
        if (entry.local.isEmpty()) {
            const QUrl url = item->url();
            if (!isRemoteItem(*item)) {
                continue; // nothing to hand over (a catalogue's cloud entry)
            }
            const ServerItemDetails* details = NetworkItems::detailsOf(*item);
            const QString name =
                RemoteFiles::fileNameFor(item->name(), url, details != nullptr ? details->mime : QString());
            entry.download = std::make_unique<RemoteDownload>(url, name);
        }
        _entries.push_back(std::move(entry));
    }
}

QStringList RemoteDragData::formats() const {
    return {kUriList};
}

bool RemoteDragData::hasFormat(const QString& mimeType) const {
    return mimeType == kUriList;
}

int RemoteDragData::pendingCount() const {
    int pending = 0;
    for (const Entry& entry : _entries) {
        pending += entry.download && !entry.download->isFinished() ? 1 : 0;
    }
    return pending;
}

void RemoteDragData::waitForTransfers() const {
    if (_cancelled || pendingCount() == 0) {
        return;
    }
    QProgressDialog progress(tr("Fetching files from the network…"), tr("Cancel"), 0, 1000, _window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QEventLoop loop;
    const auto update = [this, &progress, &loop] {
        qint64 received = 0;
        qint64 total = 0;
        for (const Entry& entry : _entries) {
            if (entry.download) {
                received += entry.download->received();
                total += std::max(entry.download->total(), entry.download->received());
            }
        }
        if (total > 0) {
            progress.setValue(static_cast<int>(std::min<qint64>(999, received * 1000 / total)));
        }
        if (pendingCount() == 0) {
            loop.quit();
        }
    };
    for (const Entry& entry : _entries) {
        if (entry.download) {
            connect(entry.download.get(), &RemoteDownload::progressChanged, &loop, update);
            connect(entry.download.get(), &RemoteDownload::finished, &loop, update);
        }
    }
    connect(&progress, &QProgressDialog::canceled, &loop, [this, &loop] {
        _cancelled = true;
        for (const Entry& entry : _entries) {
            if (entry.download) {
                entry.download->cancel();
            }
        }
        loop.quit();
    });
    update();
    if (pendingCount() > 0) {
        loop.exec();
    }
}

QList<QUrl> RemoteDragData::fileUrls() const {
    waitForTransfers();
    QList<QUrl> urls;
    for (const Entry& entry : _entries) {
        if (!entry.local.isEmpty()) {
            urls.append(entry.local);
        } else if (!_cancelled && entry.download && entry.download->isDone()) {
            urls.append(Path::fileUrl(entry.download->path()));
        }
    }
    return urls;
}

QVariant RemoteDragData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType != kUriList) {
        return {};
    }
    const QList<QUrl> urls = fileUrls();
    if (type.id() == QMetaType::QByteArray || type.id() == QMetaType::QString) {
        QByteArray text;
        for (const QUrl& url : urls) {
            text += url.toEncoded() + "\r\n";
        }
        return text;
    }
    QVariantList list;
    for (const QUrl& url : urls) {
        list.append(url);
    }
    return list;
}
