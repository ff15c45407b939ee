#pragma once

#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <vector>

class MediaItem;
class RemoteDownload;
class QWidget;

// What a drag of items carries when some of them live on a media server or
// a share: the receiving application gets file URLs as for any drag, so the
// remote files are fetched into the browser's cache as the drag starts. When
// the drop asks for the files before they have all arrived, a progress
// window shows the transfer (the event loop keeps running, so the browser
// stays responsive) and its Cancel leaves those files out. Local items are
// handed over as they are.
class RemoteDragData : public QMimeData {
    Q_OBJECT
public:
    explicit RemoteDragData(QWidget* window = nullptr);
    ~RemoteDragData() override;

    // Whether any of items must be fetched to be handed over.
    static bool needsFetching(const std::vector<MediaItem*>& items);
    // The pasteboard a list's drag of items starts with: one of these when
    // any item must be fetched, none when the list's usual one serves.
    static std::unique_ptr<QMimeData> forDragOf(const std::vector<MediaItem*>& items, QWidget* window);
    // Gives items to pasteboard when it is one of these (answers true); the
    // list writes its usual file URLs otherwise.
    static bool takeItems(QMimeData* pasteboard, const std::vector<MediaItem*>& items);
    // The items to hand over, in order; remote ones start fetching now.
    void setItems(const std::vector<MediaItem*>& items);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

    // The file URLs the drop gets: waits for the transfers first.
    QList<QUrl> fileUrls() const;
    // The transfers still under way (tests).
    int pendingCount() const;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    struct Entry {
        QUrl local;                               // a file URL, for an item on disk
        std::unique_ptr<RemoteDownload> download; // for a remote one
    };
    // Waits, showing the progress, until every transfer ended or the user cancelled.
    void waitForTransfers() const;

    std::vector<Entry> _entries;
    QPointer<QWidget> _window;
    mutable bool _cancelled = false;
};
