#include "browser/MovieListController.h"

#include "browser/QVMovieView.h"
#include "browser/RemoteDragData.h"
#include "iconview/IconView.h"
#include "iconview/ThumbnailDecoder.h"
#include "iconview/ThumbnailLoader.h"
#include "platform/media/MoviePoster.h"
#include "platform/media/ThumbnailCache.h"
#include "platform/network/RemoteFiles.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "platform/system/WorkspaceIcons.h"
#include "sources/network/NetworkItems.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMimeData>

#include <cmath>

namespace {

// The fitted size of a poster shown at shown, times ratio.
QSize fittedPixels(const QSizeF& shown, qreal ratio) {
    const NSSize fitted = MovieListController::posterSize(
        NSMakeSize(static_cast<float>(shown.width()), static_cast<float>(shown.height())));
    return QSize(std::max(1, static_cast<int>(std::lround(fitted.width * ratio))),
                 std::max(1, static_cast<int>(std::lround(fitted.height * ratio))));
}

// The poster at its fitted size times ratio, made on a loader thread: from
// the desktop's thumbnail cache when it has the movie's, else from the movie
// (made at the cache's size class and recorded there for next time).
QImage makePoster(const QString& path, qreal ratio) {
    const int side = static_cast<int>(std::lround(MovieListController::kPosterSide * ratio));
    const std::optional<ThumbnailCache::Stamp> stamp = ThumbnailCache::stampOf(path);
    QImage poster;
    if (stamp) {
        poster = ThumbnailCache::find(path, *stamp, QSize(side, side));
    }
    if (!poster.isNull()) {
        poster = poster.scaled(fittedPixels(poster.size(), ratio), Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation);
    } else {
        const std::optional<ThumbnailCache::SizeClass> sizeClass =
            ThumbnailCache::classFor(QSize(side, side));
        const bool forCache =
            stamp && sizeClass && ThumbnailCache::writingEnabled() && ThumbnailCache::isSettled(*stamp);
        QSizeF shownSize;
        poster = MoviePoster::posterImage(path, [&](const QSizeF& shown) {
            shownSize = shown;
            if (forCache && std::max(shown.width(), shown.height()) > sizeClass->side) {
                return shown.scaled(sizeClass->side, sizeClass->side, Qt::KeepAspectRatio).toSize();
            }
            return fittedPixels(shown, ratio);
        });
        if (!poster.isNull() && forCache) {
            ThumbnailCache::store(path, *stamp, *sizeClass, poster, shownSize.toSize());
            poster = poster.scaled(fittedPixels(shownSize, ratio), Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation);
        }
    }
    poster.setDevicePixelRatio(ratio);
    return poster;
}

// The poster of a media server's movie, made on a loader thread: the
// server's own picture of it when it has one, else the stream's first
// picture (read over the network only for movies without one).
QImage makeRemotePoster(const QUrl& url, const QUrl& thumbnail, qreal ratio) {
    const auto fitted = [ratio](const QSizeF& shown) {
        return fittedPixels(shown, ratio);
    };
    QImage poster;
    if (!thumbnail.isEmpty()) {
        LoadProgress unobserved;
        const int side = static_cast<int>(std::lround(MovieListController::kPosterSide * ratio));
        poster = ThumbnailDecoder::decodeData(
            RemoteFiles::fetch(thumbnail, RemoteFiles::kMaxPictureBytes, unobserved), QSize(side, side));
        if (!poster.isNull()) {
            poster = poster.scaled(fitted(poster.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    }
    if (poster.isNull() && RemoteFiles::isStreamable(url)) {
        poster = MoviePoster::remotePosterImage(url, fitted);
    }
    poster.setDevicePixelRatio(ratio);
    return poster;
}

// Where a movie's file would be: its local path, else its URL's path (for the icon).
QString filePath(const QUrl& url) {
    const QString local = Path::localPath(url);
    return local.isNull() ? url.path() : local;
}

} // namespace

MovieListController::MovieListController(QObject* parent)
    : QVMBListController(parent)
    , _playerFactory([](const QUrl& url) { return QVMovieView::makePlayer(url); }) {
    _imgCache.reserve(100);
    connect(ThumbnailLoader::instance(), &ThumbnailLoader::imageReady, this,
            [this](IconImage* image) { posterArrived(image); });
}

MovieListController::~MovieListController() {
    // The base's own clean-up runs later and no longer reaches these overrides.
    stop();
    observeView(false);
    NotificationCenter::defaultCenter().removeObserver(this);
}

void MovieListController::observeView(bool observe) {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    if (_observedView) {
        for (const char* name : {IconViewDoubleClick, IconViewDraw, IconViewSelectionChanged}) {
            center.removeObserver(this, name, _observedView.data());
        }
        _observedView = nullptr;
    }
    if (!observe || !_iconView) {
        return;
    }
    _observedView = _iconView;
    center.addObserver(this, IconViewDoubleClick, _iconView.data(),
                       [this](const Notification&) { doubleClick(); });
    center.addObserver(this, IconViewDraw, _iconView.data(), [this](const Notification&) { viewDraw(); });
    center.addObserver(this, IconViewSelectionChanged, _iconView.data(),
                       [this](const Notification&) { selectionChanged(); });
}

void MovieListController::awakeFromNib() {
    observeView(true);
    // Movies are drawn through OpenGL, which makes the whole window composed
    // through OpenGL and loads the graphics driver. Wait until the grid is first
    // shown, so that a browser opened on pictures or music starts without it.
    if (_iconView != nullptr && _iconView->isVisible()) {
        QVMovieView::prepareHost(_iconView);
    } else if (_iconView != nullptr) {
        _iconView->installEventFilter(this);
    }
}

bool MovieListController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _iconView && event->type() == QEvent::Show) {
        _iconView->removeEventFilter(this);
        QVMovieView::prepareHost(_iconView);
    }
    return QVMBListController::eventFilter(watched, event);
}

NSSize MovieListController::posterSize(NSSize shown) {
    const NSRect box = NSMakeRect(0, 0, kPosterSide, kPosterSide);
    return QVScaleRectIntoRect(NSMakeRect(0, 0, shown.width, shown.height), box,
                               QVAlignHCentre | QVAlignVCentre)
        .size;
}

QImage MovieListController::iconImage(const QString& path) {
    const QString extension = Path::extension(path);
    auto cached = _iconImages.constFind(extension);
    if (cached == _iconImages.constEnd()) {
        // Held once per extension: a 512-pixel picture per file would add up.
        cached = _iconImages.insert(extension, WorkspaceIcons::imageAtSize(WorkspaceIcons::iconForFile(path),
                                                                           QSize(kIconSide, kIconSide), 1.0));
    }
    return *cached;
}

IconImagePtr MovieListController::getImage(const MediaItem& movie) {
    const QUrl url = movie.url();
    if (NetworkItems::detailsOf(movie) == nullptr || !RemoteFiles::isRemote(url)) {
        return getImage(url);
    }
    IconImagePtr& image = _imgCache[url];
    if (!image) {
        const QString path = url.path();
        const qreal ratio = _iconView ? _iconView->devicePixelRatioF() : qApp->devicePixelRatio();
        const QPointer<MovieListController> self(this);
        image = IconImage::madeFromFile(
            url.toString(),
            [url, thumbnail = movie.thumbnailUrl(), ratio](const QString&) {
                return makeRemotePoster(url, thumbnail, ratio);
            },
            [self, path] { return self ? self->iconImage(path) : QImage(); });
    }
    return image;
}

IconImagePtr MovieListController::getImage(const QUrl& url) {
    IconImagePtr& image = _imgCache[url];
    if (!image) {
        const QString path = filePath(url);
        const qreal ratio = _iconView ? _iconView->devicePixelRatioF() : qApp->devicePixelRatio();
        const QPointer<MovieListController> self(this);
        image = IconImage::madeFromFile(
            Path::localPath(url), [ratio](const QString& file) { return makePoster(file, ratio); },
            [self, path] { return self ? self->iconImage(path) : QImage(); });
    }
    return image;
}

bool MovieListController::showsImage(const IconImage* image) const {
    if (!_iconView || !_iconView->isVisible()) {
        return false;
    }
    const NSRect visible = _iconView->documentVisibleRect();
    const int first = std::max(0, _iconView->firstIndexInRect(visible));
    const int after = std::min(numItems(), _iconView->indexAfterRect(visible));
    for (int i = first; i < after; ++i) {
        const IconImagePtr cached = _imgCache.value(itemAt(i)->url());
        if (cached.get() == image) {
            return true;
        }
    }
    return false;
}

MediaItem* MovieListController::movieAt(int index) const {
    if (index < 0 || index >= numItems()) {
        return nullptr;
    }
    return itemAt(index).get();
}

int MovieListController::numberOfItemsInIconView(IconView*) {
    return numItems();
}

IconImagePtr MovieListController::imageForIndex(IconView*, int index) {
    MediaItem* item = movieAt(index);
    if (item == nullptr) {
        return nullptr;
    }
    IconImagePtr image = getImage(*item);
    // The grid asks for the cells it draws: their posters are made first.
    const QPointer<MovieListController> self(this);
    const IconImage* raw = image.get();
    image->requestPixels(this, [self, raw] { return self && self->showsImage(raw); });
    return image;
}

QString MovieListController::labelForIndex(IconView*, int index) {
    MediaItem* item = movieAt(index);
    return item ? item->name() : QString();
}

QString MovieListController::statusForIndex(IconView*, int index) {
    return _mv != nullptr && index == _playingIndex ? tr("Playing") : QString();
}

std::vector<MediaItem*> MovieListController::itemsAt(const IndexSet& indexes) const {
    std::vector<MediaItem*> items;
    items.reserve(indexes.size());
    for (int index : indexes) {
        items.push_back(movieAt(index));
    }
    return items;
}

std::unique_ptr<QMimeData> MovieListController::newPasteboard(IconView* view, const IndexSet& indexes) {
    if (std::unique_ptr<QMimeData> remote =
            RemoteDragData::forDragOf(itemsAt(indexes), view ? view->window() : nullptr)) {
        return remote;
    }
    return IconViewDataSource::newPasteboard(view, indexes);
}

bool MovieListController::writeRowsWithIndexes(IconView*, const IndexSet& indexes, QMimeData* pasteboard) {
    if (RemoteDragData::takeItems(pasteboard, itemsAt(indexes))) {
        return true;
    }
    QList<QUrl> urls;
    urls.reserve(static_cast<qsizetype>(indexes.size()));
    for (int index : indexes) {
        MediaItem* item = movieAt(index);
        const QString path = item ? Path::localPath(item->url()) : QString();
        if (!path.isEmpty()) {
            urls.append(Path::fileUrl(path));
        }
    }
    pasteboard->setUrls(urls);
    return true;
}

void MovieListController::doubleClick() {
    play();
}

void MovieListController::viewDraw() {
    stop();
}

void MovieListController::selectionChanged() {
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlIsPlayingChanged, this);
}

void MovieListController::movieDidStop() {
    // A file that would not decode ends at once: the window says why nothing plays.
    MediaItem* item = movieAt(_playingIndex);
    if (_mv && _mv->movie() && _mv->movie()->failed() && item != nullptr) {
        reportCannotPlay(*item);
    }
    stop();
}

bool MovieListController::canPlay() {
    return _iconView && _iconView->selection().size() == 1;
}

QVMovieView* MovieListController::movieView() const {
    return _mv;
}

bool MovieListController::isPlaying() {
    return _mv != nullptr;
}

void MovieListController::listChanged() {
    // A movie plays over its cell, which a change of the list moves: it stops.
    stop();
    // The same folder changing keeps its posters and the place in it.
    if (isLiveUpdate()) {
        if (_iconView) {
            _iconView->reloadDataInPlace();
        }
        return;
    }
    _imgCache.clear();
    if (_iconView) {
        _iconView->reloadData();
    }
}

void MovieListController::doPlay() {
    if (!_iconView || _iconView->selection().size() != 1) {
        return;
    }
    const int index = *_iconView->selection().begin();
    MediaItem* item = movieAt(index);
    // A movie at a web address plays only when it is a media server's stream.
    const bool playable = item != nullptr && (!RemoteFiles::isStreamable(item->url()) ||
                                              NetworkItems::detailsOf(*item) != nullptr);
    std::unique_ptr<MoviePlayer> movie = playable && _playerFactory ? _playerFactory(item->url()) : nullptr;
    if (!movie) {
        if (item != nullptr) {
            reportCannotPlay(*item);
        }
        return;
    }
    NotificationCenter::defaultCenter().addObserver(this, QVMovieDidEnd, movie.get(),
                                                    [this](const Notification&) { movieDidStop(); });
    _playingIndex = index;
    _mv = new QVMovieView(movieFrame(index), _iconView);
    _mv->setMovie(std::move(movie));
    _mv->setAccessibleName(tr("Playing %1").arg(labelForIndex(_iconView, index)));
    _mv->show();
    _mv->play();
    _iconView->statusChanged(index);
}

QRect MovieListController::movieFrame(int index) {
    NSRect r = _iconView->scaledImageRect(index);
    if (r.size.width <= 0 || r.size.height <= 0) {
        // No poster yet: the whole picture square, until the poster arrives
        // and the movie moves onto it.
        r = _iconView->imageRect(index);
    }
    // The edges rounded as the grid rounds the picture's.
    const int left = static_cast<int>(std::lround(r.origin.x));
    const int top = static_cast<int>(std::lround(r.origin.y));
    return QRect(left, top, static_cast<int>(std::lround(r.origin.x + r.size.width)) - left,
                 static_cast<int>(std::lround(r.origin.y + r.size.height)) - top);
}

void MovieListController::posterArrived(const IconImage* image) {
    if (_mv && _iconView && _playingIndex < numItems() &&
        imageForIndex(_iconView, _playingIndex).get() == image) {
        _mv->setGeometry(movieFrame(_playingIndex));
    }
}

void MovieListController::doStop() {
    if (!_mv) {
        return;
    }
    QVMovieView* view = _mv;
    _mv = nullptr;
    if (view->movie()) {
        NotificationCenter::defaultCenter().removeObserver(this, QVMovieDidEnd, view->movie());
    }
    view->pause();
    view->releaseMovie();
    view->hide();
    // Stopping can happen inside the grid's own drawing: the view goes once that is over.
    view->deleteLater();
    if (_iconView) {
        _iconView->statusChanged(_playingIndex);
    }
}

std::vector<int> MovieListController::selectedPositions() const {
    if (!_iconView) {
        return {};
    }
    return {_iconView->selection().begin(), _iconView->selection().end()};
}

void MovieListController::reselectPositions(const std::vector<int>& positions) {
    if (!_iconView) {
        return;
    }
    _iconView->selection().insert(positions.begin(), positions.end());
    NotificationCenter::defaultCenter().postNotification(IconViewSelectionChanged, _iconView.data());
    _iconView->update();
}
