#pragma once

#include "browser/QVMBListController.h"
#include "iconview/Geometry.h"
#include "iconview/IconViewDataSource.h"
#include "platform/media/MoviePlayer.h"

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>

class IconView;
class QVMovieView;

// The list of the Movies tab and the data source of its thumbnail grid. Each
// movie shows its poster fitted into 150 x 150 (made off the main thread the
// first time its cell is drawn), or its file's icon when it has none. A movie
// plays in place: a movie view lies exactly over the selected cell's picture
// until the grid redraws, the movie ends, the list is rebuilt or playback is
// stopped.
class MovieListController : public QVMBListController, public IconViewDataSource {
    Q_OBJECT
public:
    // The box posters are fitted into, and the size of the file icons shown instead.
    static constexpr float kPosterSide = 150;
    static constexpr int kIconSide = 512;

    explicit MovieListController(QObject* parent = nullptr);
    ~MovieListController() override;

    // The grid; not owned. Call awakeFromNib() once it is set.
    void setIconView(IconView* view) { _iconView = view; }
    IconView* iconView() const { return _iconView; }
    // Observes the grid's double clicks, redraws and selection changes.
    void awakeFromNib();

    // Makes the players of movies; by default one drawn by the movie view.
    void setPlayerFactory(MoviePlayerFactory factory) { _playerFactory = std::move(factory); }

    // A poster of size shown fitted into the poster box, keeping its shape,
    // small posters enlarged.
    static NSSize posterSize(NSSize shown);

    // The thumbnail of the movie at url, made on first demand and kept until
    // the list is rebuilt; its picture arrives later.
    IconImagePtr getImage(const QUrl& url);
    // The same for a movie: a media server's movie shows the server's
    // picture of it, or else a poster read from its stream.
    IconImagePtr getImage(const MediaItem& movie);
    int cacheCount() const { return static_cast<int>(_imgCache.size()); }

    void doubleClick();
    // Any redraw of the grid ends playback.
    void viewDraw();
    void selectionChanged();
    void movieDidStop();

    int numberOfItemsInIconView(IconView* view) override;
    IconImagePtr imageForIndex(IconView* view, int index) override;
    QString labelForIndex(IconView* view, int index) override;
    // "Playing" for the movie playing in place.
    QString statusForIndex(IconView* view, int index) override;
    // The movies' files as file URLs in ascending index order; movies without
    // a local file are left out.
    bool writeRowsWithIndexes(IconView* view, const IndexSet& indexes, QMimeData* pasteboard) override;
    // A pasteboard that fetches the movies of media servers and shares first.
    std::unique_ptr<QMimeData> newPasteboard(IconView* view, const IndexSet& indexes) override;

    // True when exactly one item is selected.
    bool canPlay() override;
    bool isPlaying() override;
    QVMovieView* movieView() const;

protected:
    std::vector<int> selectedPositions() const override;
    void reselectPositions(const std::vector<int>& positions) override;
    // Prepares the grid for drawing movies the first time it is shown.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void listChanged() override;
    void doPlay() override;
    void doStop() override;

private:
    MediaItem* movieAt(int index) const;
    std::vector<MediaItem*> itemsAt(const IndexSet& indexes) const;
    // The file icon at kIconSide, one picture per extension shared by all files that have it.
    QImage iconImage(const QString& path);
    // Whether the grid shows image in a visible cell now.
    bool showsImage(const IconImage* image) const;
    void observeView(bool observe);
    // Where the movie at index plays: over its fitted poster, or over the
    // whole picture square while the poster is still being made.
    QRect movieFrame(int index);
    // A playing movie whose poster has just arrived moves onto it.
    void posterArrived(const IconImage* image);

    QPointer<QVMovieView> _mv; // a child of the grid while it plays
    int _playingIndex = -1;
    QHash<QUrl, IconImagePtr> _imgCache;
    QHash<QString, QImage> _iconImages;
    QPointer<IconView> _iconView;
    QPointer<IconView> _observedView;
    MoviePlayerFactory _playerFactory;
};
