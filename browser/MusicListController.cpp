#include "browser/MusicListController.h"

#include "browser/ListEdit.h"
#include "browser/MusicTableView.h"
#include "browser/RemoteDragData.h"
#include "browser/TrackSorting.h"
#include "model/QVTrack.h"
#include "platform/media/MovieFile.h"
#include "platform/media/MpvPlayer.h"
#include "platform/network/RemoteFiles.h"
#include "platform/system/BackgroundRelease.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "platform/system/Resources.h"
#include "platform/system/WorkspaceIcons.h"
#include "sources/network/NetworkItems.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPixmap>

#include <array>

namespace {

const std::array<const char*, 3> kColumns = {"name", "artist", "time"};
const std::array<const char*, 3> kTitles = {QT_TRANSLATE_NOOP("MusicListController", "Name"),
                                            QT_TRANSLATE_NOOP("MusicListController", "Artist"),
                                            QT_TRANSLATE_NOOP("MusicListController", "Time")};

std::unique_ptr<MoviePlayer> audioPlayer(const QUrl& url) {
    MpvPlayer::Options options;
    options.videoOutput = "null";
    options.streams = true; // the list hands over only a media server's streams
    return MpvPlayer::create(url, options);
}

// Whether the track can be played: a local file, or a media server's
// stream. A catalogue's entries at web addresses (a store's cloud, a
// podcast's feed) are not played from the web.
bool isPlayable(const QVTrack& track) {
    const QUrl url = track.url();
    return !Path::localPath(url).isEmpty() ||
           (NetworkItems::detailsOf(track) != nullptr && RemoteFiles::isStreamable(url));
}

// The path a track's icon is chosen by: the local file's, else the URL's own.
QString iconPath(const QUrl& url) {
    const QString local = Path::localPath(url);
    return local.isNull() ? url.path() : local;
}

} // namespace

MusicListController::MusicListController(QObject* parent)
    : QVMBListController(parent)
    , _playerFactory(&audioPlayer) {
    const QImage playing = Resources::image(QStringLiteral("MBAudioPlaying.tif"));
    if (!playing.isNull()) {
        _playingIcon = QIcon(QPixmap::fromImage(playing));
    }
    _icons.reserve(10);
    _cellFont = QApplication::font();
    _cellFont.setPointSize(10);
}

MusicListController::~MusicListController() {
    if (_sortJob) {
        _sortJob->cancel();
    }
    // The base's own clean-up runs later and no longer reaches these overrides.
    stop();
    NotificationCenter::defaultCenter().removeObserver(this);
}

QString MusicListController::columnIdentifier(int column) {
    if (column < 0 || column >= static_cast<int>(kColumns.size())) {
        return {};
    }
    return QLatin1String(kColumns[static_cast<std::size_t>(column)]);
}

MusicTableView* MusicListController::tableView() const {
    return _tableView;
}

void MusicListController::awakeFromNib() {
    if (!_tableView) {
        return;
    }
    _tableView->setModel(this);
    _tableView->setFont(_cellFont);
    QHeaderView* header = _tableView->horizontalHeader();
    // The header keeps the application's font; only the cells are small.
    header->setFont(QApplication::font());
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->resizeSection(1, 160);
    header->resizeSection(2, 70);
    // One text line per row.
    QHeaderView* rows = _tableView->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(_cellFont).height() + 4);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { didClickTableColumn(_tableView, column); });
    connect(_tableView, &QAbstractItemView::clicked, this, [this] { tableAction(); });
    connect(_tableView, &QAbstractItemView::doubleClicked, this, [this] { doubleClick(); });
    connect(_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionChanged(); });
}

QString MusicListController::timeToString(quint32 t) {
    if (t == QVTrack::UnknownLength) {
        return QStringLiteral("-");
    }
    const quint32 s = t % 60;
    const quint32 m = (t / 60) % 60;
    // Whole hours, days included: a 25-hour recording shows 25:00:00.
    const quint32 h = t / 3600;
    if (h > 0) {
        return QStringLiteral("%1:%2:%3")
            .arg(h)
            .arg(m, 2, 10, QLatin1Char('0'))
            .arg(s, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}

QIcon MusicListController::fileIcon(const QUrl& url) const {
    const QString path = iconPath(url);
    const QString extension = Path::extension(path);
    const auto cached = _icons.constFind(extension);
    if (cached != _icons.constEnd()) {
        return *cached;
    }
    // The first file seen with an extension decides the icon for all of them.
    const QIcon icon = WorkspaceIcons::iconForFile(path);
    _icons.insert(extension, icon);
    return icon;
}

QVTrack* MusicListController::trackAt(int row) const {
    if (row < 0 || row >= numItems()) {
        return nullptr;
    }
    return dynamic_cast<QVTrack*>(itemAt(row).get());
}

std::shared_ptr<QVTrack> MusicListController::sharedTrackAt(int row) const {
    if (row < 0 || row >= numItems()) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<QVTrack>(itemAt(row));
}

int MusicListController::numberOfRowsInTableView(QTableView*) const {
    return folder() ? numItems() : 0;
}

QVariant MusicListController::objectValueForTableColumn(QTableView*, const QString& column, int row) const {
    QVTrack* track = trackAt(row);
    if (track == nullptr) {
        return {};
    }
    if (column == QLatin1String("name")) {
        return track->name();
    }
    if (column == QLatin1String("artist")) {
        return track->artist();
    }
    if (column == QLatin1String("time")) {
        return timeToString(track->length());
    }
    return {};
}

QVariant MusicListController::willDisplayCell(QTableView*, const QString& column, int row) const {
    if (column != QLatin1String("name")) {
        return {};
    }
    QVTrack* track = trackAt(row);
    if (track == nullptr) {
        return {};
    }
    if (track == _playing.get()) {
        return _playingIcon.isNull() ? QVariant() : QVariant(_playingIcon);
    }
    return fileIcon(track->url());
}

void MusicListController::didClickTableColumn(QTableView*, int column) {
    const QString identifier = columnIdentifier(column);
    if (identifier.isNull()) {
        return;
    }
    // A new column starts ascending; the same column again turns the order round.
    _sortAsc = column == _sortedColumn ? !_sortAsc : true;
    _sortedColumn = column;
    if (_tableView) {
        // The header holds one indicator: setting it moves it off the column sorted before.
        _tableView->horizontalHeader()->setSortIndicator(column,
                                                         _sortAsc ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    sortFolder();
}

void MusicListController::sortFolder() {
    const MediaFolderPtr held = folder();
    _sortWaitingFor = nullptr;
    if (_sortJob) {
        _sortJob->cancel(); // a newer click wins
        _sortJob.reset();
    }
    if (!held || _sortedColumn < 0) {
        return;
    }
    held->loadInBackground(); // a folder that has nothing to read is ready after this
    if (!held->isLoaded() || held->detailsPending()) {
        // Never wait here for a library to be read, nor read tags on this thread.
        _sortWaitingFor = held.get();
        return;
    }
    // The whole folder is sorted, not only what the filter shows, and the order
    // stays in the folder: a read again keeps it, placing what comes by it.
    const QString key = TrackSorting::sortKey(columnIdentifier(_sortedColumn));
    const bool ascending = _sortAsc;
    held->setItemOrder(TrackSorting::order(key, ascending));
    const std::shared_ptr<const std::vector<MediaItemPtr>> files = held->filesSnapshot();
    if (files->size() < kSortInBackground) {
        held->reorderFiles(TrackSorting::sorted(*files, key, ascending));
        return;
    }
    // A large library is sorted on a loader: every track knows its texts by
    // now (the folder read them), so the worker only reads them. The texts
    // are folded again for searching in the new order, when they were before.
    const bool folded = held->searchTexts() != nullptr;
    _sortJob = std::make_shared<FolderLoadJob>(
        [unsorted = files, key, ascending, folded](LoadProgress& progress) mutable {
            MediaFolderContents sorted;
            sorted.files = TrackSorting::sorted(*unsorted, key, ascending);
            unsorted.reset(); // the folder and the list still hold the old order
            if (folded && !progress.isCancelled()) {
                sorted.searchTexts = SearchIndex::fold(sorted.files);
            }
            return sorted;
        });
    FolderLoadJob::start(_sortJob,
                         [this, held, unsorted = files]() mutable {
                             MediaFolderContents sorted = std::exchange(_sortJob, nullptr)->take();
                             const bool stillHeld = held == folder();
                             const bool unchanged = stillHeld && held->filesSnapshot() == unsorted;
                             if (unchanged) {
                                 held->reorderFiles(std::move(sorted.files), std::move(sorted.searchTexts));
                             }
                             // The order no longer shown (or the one come too late) is let go
                             // elsewhere: a million references dropped here took 30 ms.
                             BackgroundRelease::release(std::move(unsorted), std::move(sorted));
                             if (stillHeld && !unchanged) {
                                 sortFolder(); // the folder changed meanwhile: sort what it holds now
                             }
                         },
                         {});
}

bool MusicListController::writeRowsWithIndexes(QTableView*, const std::set<int>& rows,
                                               QMimeData* pasteboard) const {
    return writeRows(nullptr, QList<int>(rows.begin(), rows.end()), pasteboard);
}

bool MusicListController::writeRows(QTableView*, const QList<int>& rows, QMimeData* pasteboard) const {
    if (auto* remote = qobject_cast<RemoteDragData*>(pasteboard)) {
        std::vector<MediaItem*> items;
        for (int row : rows) {
            items.push_back(trackAt(row));
        }
        remote->setItems(items);
        return true;
    }
    QList<QUrl> urls;
    urls.reserve(rows.size());
    for (int row : rows) {
        QVTrack* track = trackAt(row);
        // Cloud and podcast entries of a catalogue have no file to hand over.
        const QString path = track ? Path::localPath(track->url()) : QString();
        if (!path.isEmpty()) {
            urls.append(Path::fileUrl(path));
        }
    }
    pasteboard->setUrls(urls);
    return true;
}

void MusicListController::tableAction() {
}

void MusicListController::doubleClick() {
    const std::set<int> rows = selectedRows();
    if (rows.empty()) {
        play();
        return;
    }
    // The row selected last: the current one when it is selected.
    int row = *rows.rbegin();
    if (_tableView) {
        const QModelIndex current = _tableView->selectionModel()->currentIndex();
        if (current.isValid() && rows.count(current.row()) != 0) {
            row = current.row();
        }
    }
    if (_playing && trackAt(row) == _playing.get()) {
        stop();
    } else {
        play();
    }
}

void MusicListController::selectionChanged() {
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlIsPlayingChanged, this);
}

std::set<int> MusicListController::selectedRows() const {
    std::set<int> rows;
    if (!_tableView || !_tableView->selectionModel()) {
        return rows;
    }
    for (const QModelIndex& index : _tableView->selectionModel()->selectedRows()) {
        rows.insert(index.row());
    }
    return rows;
}

bool MusicListController::canPlay() {
    for (int row : selectedRows()) {
        QVTrack* track = trackAt(row);
        if (track != nullptr && isPlayable(*track)) {
            return true;
        }
    }
    return false;
}

bool MusicListController::isPlaying() {
    return _playing != nullptr;
}

void MusicListController::doPlay() {
    _playlist = selectedRows();
    if (_playlist.empty()) {
        return;
    }
    playTrack();
}

bool MusicListController::playTrack() {
    while (!_playlist.empty()) {
        const int row = *_playlist.begin();
        _playlist.erase(_playlist.begin());
        const std::shared_ptr<QVTrack> track = sharedTrackAt(row);
        if (!track) {
            continue;
        }
        const QUrl url = track->url();
        // Tracks without a local file or a stream, of a type the movie
        // toolkit does not play, or whose file does not open are passed over.
        // The window says so for each.
        if (!isPlayable(*track) || (!RemoteFiles::isStreamable(url) && !MovieFile::canOpen(url))) {
            reportCannotPlay(*track);
            continue;
        }
        std::unique_ptr<MoviePlayer> movie = _playerFactory ? _playerFactory(url) : nullptr;
        if (!movie) {
            reportCannotPlay(*track);
            continue;
        }
        releaseMovie();
        const std::shared_ptr<QVTrack> previous = std::exchange(_playing, track);
        _movie = std::move(movie);
        NotificationCenter::defaultCenter().addObserver(this, QVMovieDidEnd, _movie.get(),
                                                        [this](const Notification&) { movieDidStop(); });
        // Only the sound plays, also for files that carry pictures or video.
        _movie->setAudioOnly(true);
        _movie->play();
        refreshRowOf(previous.get());
        refreshRowOf(_playing.get());
        return true;
    }
    return false;
}

void MusicListController::movieDidStop() {
    // A file that would not decode ends at once: the window says why nothing is heard.
    if (_movie && _movie->failed() && _playing) {
        reportCannotPlay(*_playing);
    }
    // The next queued track that plays takes over without a notification;
    // with none left, playback ends and says so.
    if (!playTrack()) {
        stop();
    }
}

void MusicListController::releaseMovie() {
    if (_movie) {
        NotificationCenter::defaultCenter().removeObserver(this, QVMovieDidEnd, _movie.get());
        _movie->stop();
        _movie.reset();
    }
}

void MusicListController::doStop() {
    releaseMovie();
    const std::shared_ptr<QVTrack> previous = std::move(_playing);
    _playing.reset();
    _playlist.clear();
    refreshRowOf(previous.get());
}

void MusicListController::refreshRowOf(const QVTrack* track) {
    if (track == nullptr || _resetting) {
        return;
    }
    for (int row = 0; row < numItems(); ++row) {
        if (itemAt(row).get() == track) {
            const QModelIndex cell = index(row, 0);
            Q_EMIT dataChanged(cell, cell, {Qt::DecorationRole});
        }
    }
}

std::vector<MediaItemPtr> MusicListController::queuedTracks() const {
    std::vector<MediaItemPtr> tracks;
    for (const int row : _playlist) {
        tracks.push_back(sharedTrackAt(row));
    }
    return tracks;
}

void MusicListController::followPlayback(std::vector<MediaItemPtr> tracks) {
    if (!_playing) {
        return;
    }
    // The playing track and the queue, found again in the new list.
    tracks.insert(tracks.begin(), _playing);
    const std::vector<int> rows = positionsAfterUpdate(tracks);
    if (rows.front() < 0) {
        stop(); // its entry is gone
        return;
    }
    _playlist.clear();
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i] >= 0) {
            _playlist.insert(rows[i]);
        }
    }
    // A new entry for the same file (written in place, a catalogue read again) plays on.
    if (const std::shared_ptr<QVTrack> now = sharedTrackAt(rows.front()); now && now != _playing) {
        _playing = now;
    }
    refreshRowOf(_playing.get());
}

void MusicListController::listWillChange() {
    // A new folder or search stops the music; the same folder changing
    // (saved again by its owner, a file added) plays on.
    _queuedTracks.clear();
    if (!isLiveUpdate()) {
        stop();
    } else if (_playing) {
        _queuedTracks = queuedTracks();
    }
    if (_tableView && _tableView->selectionModel()) {
        _tableView->selectionModel()->clearSelection();
    }
    _resetting = true;
    beginResetModel();
}

void MusicListController::listChanged() {
    _resetting = false;
    endResetModel();
    sortWhenReady();
    if (isLiveUpdate()) {
        followPlayback(std::exchange(_queuedTracks, {}));
    }
}

bool MusicListController::applyEdit(const ListEdit& edit) {
    std::vector<MediaItemPtr> queued = queuedTracks();
    for (const auto& [first, last] : edit.removed) {
        beginRemoveRows({}, first, last);
        removeRows(first, last);
        endRemoveRows();
    }
    for (const auto& [first, last] : edit.inserted) {
        beginInsertRows({}, first, last);
        insertRows(first, last);
        endInsertRows();
    }
    for (const int row : edit.replaced) {
        replaceRow(row);
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
    followPlayback(std::move(queued));
    sortWhenReady();
    return true;
}

void MusicListController::detailsArrived() {
    if (numItems() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(numItems() - 1, columnCount() - 1));
    }
    sortWhenReady();
}

void MusicListController::rowsArriving(int first, int last) {
    beginInsertRows({}, first, last);
    takeRows(last);
    endInsertRows();
}

void MusicListController::sortWhenReady() {
    if (_sortWaitingFor == nullptr || _sortWaitingFor != folder().get()) {
        return;
    }
    // After the update under way is told: sorting changes the folder again.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (_sortWaitingFor != nullptr && _sortWaitingFor == folder().get()) {
                sortFolder();
            }
        },
        Qt::QueuedConnection);
}

std::vector<int> MusicListController::selectedPositions() const {
    const std::set<int> rows = selectedRows();
    return {rows.begin(), rows.end()};
}

void MusicListController::reselectPositions(const std::vector<int>& positions) {
    if (!_tableView || !_tableView->selectionModel()) {
        return;
    }
    QItemSelection selection;
    for (const int row : positions) {
        selection.select(index(row, 0), index(row, columnCount() - 1));
    }
    _tableView->selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int MusicListController::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : numberOfRowsInTableView(_tableView);
}

int MusicListController::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
}

QVariant MusicListController::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const QString column = columnIdentifier(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return objectValueForTableColumn(_tableView, column, index.row());
    case Qt::DecorationRole:
        return willDisplayCell(_tableView, column, index.row());
    case Qt::FontRole:
        return _cellFont;
    default:
        return {};
    }
}

QVariant MusicListController::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(kTitles.size())) {
        return QVMBListController::headerData(section, orientation, role);
    }
    return tr(kTitles[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags MusicListController::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList MusicListController::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

QMimeData* MusicListController::mimeData(const QModelIndexList& indexes) const {
    std::set<int> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid()) {
            rows.insert(index.row());
        }
    }
    std::vector<MediaItem*> items;
    for (const int row : rows) {
        items.push_back(trackAt(row));
    }
    // Tracks of media servers and shares are fetched before the drop takes them.
    QMimeData* pasteboard = RemoteDragData::needsFetching(items)
                                ? new RemoteDragData(_tableView ? _tableView->window() : nullptr)
                                : new QMimeData;
    writeRowsWithIndexes(_tableView, rows, pasteboard);
    return pasteboard;
}

Qt::DropActions MusicListController::supportedDragActions() const {
    return Qt::CopyAction;
}

Qt::DropActions MusicListController::supportedDropActions() const {
    return Qt::IgnoreAction;
}
