#pragma once

#include "browser/QVMBListController.h"
#include "platform/media/MoviePlayer.h"

#include <QFont>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>
#include <set>

class MusicTableView;
class QMimeData;
class QTableView;
class QVTrack;

// The list of the Music tab and the model of its three-column table (title
// with a file icon, artist, duration). Clicking a column header sorts the
// folder's tracks by that column; playing plays the selected tracks one after
// another, audio only, with a small icon on the playing track's row; dragging
// rows puts their files on the pasteboard.
class MusicListController : public QVMBListController {
    Q_OBJECT
public:
    explicit MusicListController(QObject* parent = nullptr);
    ~MusicListController() override;

    // The table's columns, in order: "name", "artist", "time".
    static QString columnIdentifier(int column);

    // The table; not owned. Call awakeFromNib() once it is set.
    void setTableView(MusicTableView* view) { _tableView = view; }
    MusicTableView* tableView() const;
    // Makes this the table's model and sets the table up: 10-point cells, the
    // header's sort indicator, the double-click, header-click and selection
    // handlers.
    void awakeFromNib();

    // Makes the players of tracks; by default an audio-only mpv player.
    void setPlayerFactory(MoviePlayerFactory factory) { _playerFactory = std::move(factory); }

    // "-" for an unknown duration; otherwise "m:ss" style text with minutes
    // always two digits ("01:05"), and hours in front when there are any
    // ("1:02:05"). A day or more shows the total hours ("25:00:00").
    static QString timeToString(quint32 seconds);

    // The file-type icon of the track file at url, made once per extension
    // (exact, case-sensitive; no extension is the empty key).
    QIcon fileIcon(const QUrl& url) const;
    int iconCacheCount() const { return static_cast<int>(_icons.size()); }

    // The table's data source operations.
    int numberOfRowsInTableView(QTableView* view) const;
    QVariant objectValueForTableColumn(QTableView* view, const QString& column, int row) const;
    // The image the cell of column "name" shows in front of the title: the
    // playing icon on the playing track's row, the file icon on the others.
    // None for the other columns.
    QVariant willDisplayCell(QTableView* view, const QString& column, int row) const;
    // Sorts the folder's files by the clicked column: ascending on the first
    // click, then the other way on each further click of the same column.
    void didClickTableColumn(QTableView* view, int column);
    // Puts the files of the tracks in rows (ascending) on the pasteboard as
    // file URLs; tracks without a local file are left out.
    bool writeRowsWithIndexes(QTableView* view, const std::set<int>& rows, QMimeData* pasteboard) const;
    // The same for a list of rows, in the given order.
    bool writeRows(QTableView* view, const QList<int>& rows, QMimeData* pasteboard) const;

    void tableAction();
    // Stops when the double-clicked track plays, otherwise plays the selection.
    void doubleClick();
    // Tells the window to re-read canPlay and isPlaying.
    void selectionChanged();
    // Starts the first queued track that can be played, dropping it and any
    // unplayable ones before it from the queue. Answers whether one started;
    // when none did, what played before plays on.
    bool playTrack();
    void movieDidStop();

    // True when a selected row has a track file to play.
    bool canPlay() override;
    bool isPlaying() override;

    // The track that plays, or none; the queue still to play, in row order.
    QVTrack* playing() const { return _playing.get(); }
    const std::set<int>& playlist() const { return _playlist; }
    MoviePlayer* movie() const { return _movie.get(); }
    bool sortAscending() const { return _sortAsc; }
    int sortedColumn() const { return _sortedColumn; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

protected:
    void listWillChange() override;
    void listChanged() override;
    void doPlay() override;
    void doStop() override;
    std::vector<int> selectedPositions() const override;
    void reselectPositions(const std::vector<int>& positions) override;
    // Rows inserted, removed and redrawn in place: the table keeps its
    // selection and scroll position, what plays plays on.
    bool applyEdit(const ListEdit& edit) override;
    // Redraws the titles, artists and times read in the background, and sorts
    // if a column was clicked while they were read.
    void detailsArrived() override;
    // The table lays out a header section for each row, on memory touched
    // for the first time when a long list first arrives (17.6 µs a page
    // measured on a virtual machine): a million rows at once kept the main
    // thread 34 ms, a slice of kPublishingSlice rows keeps it 6 to 8 ms.
    int publishingSlice() const override { return kPublishingSlice; }
    void rowsArriving(int first, int last) override;

private:
    // Sorts the held folder by the clicked column, unless it cannot answer
    // yet (loading, or its tracks' tags are being read): then once it can.
    void sortFolder();
    void sortWhenReady();
    // The queue as tracks, and after rows moved the playing track and the
    // queue found again (the playing track's row gone: playback stops).
    std::vector<MediaItemPtr> queuedTracks() const;
    void followPlayback(std::vector<MediaItemPtr> queued);

    QVTrack* trackAt(int row) const;
    std::shared_ptr<QVTrack> sharedTrackAt(int row) const;
    std::set<int> selectedRows() const;
    // Redraws the title cells of the rows showing track, as the playing icon moves.
    void refreshRowOf(const QVTrack* track);
    void releaseMovie();

    std::unique_ptr<MoviePlayer> _movie;
    std::shared_ptr<QVTrack> _playing;
    std::set<int> _playlist;
    QIcon _playingIcon;
    mutable QHash<QString, QIcon> _icons;
    bool _sortAsc = false;
    int _sortedColumn = -1;
    QPointer<MusicTableView> _tableView;

    MoviePlayerFactory _playerFactory;
    QFont _cellFont;
    // True between the start and the end of a rebuild: rows are not announced then.
    bool _resetting = false;
    // The queue as tracks while a live update moves its rows.
    std::vector<MediaItemPtr> _queuedTracks;
    // The folder a column was clicked for while it could not be sorted yet.
    const MediaFolder* _sortWaitingFor = nullptr;
    // Folders of this many tracks or more are sorted on a loader thread.
    static constexpr std::size_t kSortInBackground = 20000;
    static constexpr int kPublishingSlice = 65536;
    std::shared_ptr<FolderLoadJob> _sortJob;
};
