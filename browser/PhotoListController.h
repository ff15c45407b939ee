#pragma once

#include "browser/QVMBListController.h"
#include "browser/RecentlyUsedCache.h"
#include "iconview/IconViewDataSource.h"

#include <QHash>
#include <QPointer>
#include <QString>

class IconView;
class Photo;

// The list of the Pictures tab: the data source of its thumbnail grid. Each
// photo's thumbnail is an image that refers to its thumbnail file and is read
// only when a cell first draws it; the images are kept by thumbnail path until
// the list is rebuilt. Dragging puts the full picture files on the pasteboard.
// Pictures cannot be played. A media server's pictures show the server's
// thumbnail (or the picture itself) fetched and decoded off the main thread,
// and are fetched into the cache when dragged out.
class PhotoListController : public QVMBListController, public IconViewDataSource {
    Q_OBJECT
public:
    explicit PhotoListController(QObject* parent = nullptr);
    ~PhotoListController() override;

    // The grid that shows the list; not owned.
    void setIconView(IconView* view) { _iconView = view; }
    IconView* iconView() const { return _iconView; }

    // The cached image for a thumbnail path, made on first demand without
    // reading the file; none for an empty path.
    IconImagePtr loadImage(const QString& path);

    // The picture of a media server's photo: its thumbnail, or the picture
    // itself, fetched and decoded when first drawn; kept like the others.
    IconImagePtr loadRemoteImage(const Photo& photo);

    int numberOfItemsInIconView(IconView* view) override;
    IconImagePtr imageForIndex(IconView* view, int index) override;
    // The grid's picture of the item at index as it holds it now (a local
    // file's), without asking for one; null when it has none yet.
    IconImagePtr heldImage(int index) const;
    QString labelForIndex(IconView* view, int index) override;
    // The pictures' files (never their thumbnails) as file URLs, in ascending index order.
    bool writeRowsWithIndexes(IconView* view, const IndexSet& indexes, QMimeData* pasteboard) override;
    // A pasteboard that fetches the pictures of media servers and shares first.
    std::unique_ptr<QMimeData> newPasteboard(IconView* view, const IndexSet& indexes) override;

    int cacheCount() const { return static_cast<int>(_imgCache.size()); }
    // The cached images by key, least recently drawn first.
    const auto& cachedImages() const { return _imgCache; }
    // How many thumbnails are kept now: kScreensKept screens of the grid's
    // cells at their present size (600 without a grid).
    int cacheCapacity() const;
    // The most bytes of pixels the kept thumbnails can hold: each is at most
    // its cell's picture square in device pixels, four bytes a pixel.
    qint64 cacheBoundBytes() const;
    // Bytes of pixels the cached images hold.
    qsizetype cacheBytes() const;

protected:
    std::vector<int> selectedPositions() const override;
    void reselectPositions(const std::vector<int>& positions) override;
    // Forgets every thumbnail and reloads the grid.
    void listChanged() override;

private:
    Photo* photoAt(int index) const;
    std::vector<MediaItem*> itemsAt(const IndexSet& indexes) const;
    // The key a local picture's thumbnail is cached under: its path and its
    // state, so that a picture written in place (see FolderMerge) is drawn
    // anew, not from the picture kept of it.
    static QString imageKey(const Photo& photo);
    // The key a media server's picture is cached under: the URL fetched for it.
    static QUrl remoteSource(const Photo& photo);
    // Whether a visible cell shows this media server's picture now.
    bool showsRemoteImage(const IconImage* image) const;

    // The grid's pictures by path, the least recently drawn dropped beyond
    // cacheCapacity(): scrolling through a folder of any size keeps a few
    // screens' worth of thumbnails, whatever the window's size, so memory
    // follows what the screen shows (at 900 x 700, 60 cells of 292 pixels,
    // 20 MB; at 1400 x 900 on a screen of two device pixels a point, 45 cells
    // of 916 pixels, 150 MB), and scrolling back a little redraws from memory.
    static constexpr std::size_t kCachedImages = 600;
    // The longest side a media server's picture is decoded to, in device-independent pixels.
    static constexpr int kRemotePictureSide = 256;
    static constexpr int kScreensKept = 5;
    RecentlyUsedCache<QString, IconImagePtr> _imgCache{kCachedImages};
    QPointer<IconView> _iconView;
};
