#pragma once

#include "model/MediaFolder.h"
#include "model/MediaItem.h"
#include "model/SearchIndex.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QTimer>
#include <QVMediaBrowser/Notifications.h>

#include <memory>
#include <vector>

struct ListEdit;

struct Notification;

// Posted, with the list as object, when the list could not play an item the
// user asked to play; cannotPlayName() names it.
extern const char QVMBListCtrlCannotPlay[];

// The common base of the pictures, music and movies lists: it holds the folder
// that the source outline selected and the search text, keeps the folder's
// files that match the text in _filtered, and drives playback through four
// hooks. Every change of folder, filter or folder contents rebuilds the list
// in place, lets the subclass refresh its view (listChanged), and tells the
// window that the count and the can-play state may have changed.
//
// A folder that is not loaded yet is read in the background: the list stays
// empty and reports isLoading() until the folder publishes its contents.
//
// Each list is also the item model of its list: the music list shows it as a
// table; the grids ask through their own data source interface, so the base
// model has no rows.
//
// A view that keeps memory for each row (the table) is handed a long list a
// slice per turn of the event loop (publishingSlice()): the list is then, for
// everyone, the rows the view holds so far, and grows as the view takes more.
class QVMBListController : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QVMBListController(QObject* parent = nullptr);
    ~QVMBListController() override;

    // Holds folder (none allowed), stops playback and rebuilds, also when the
    // folder is the one already held.
    void setFolder(const MediaFolderPtr& folder);
    // Filters by text without its leading and trailing spaces and tabs (line
    // breaks stay); a null or blank text filters nothing out.
    void setFilter(const QString& text);
    void updateList();
    void filesChanged(const Notification& notification);
    void loadStateChanged(const Notification& notification);

    int numItems() const;
    MediaFolderPtr folder() const { return _folder; }
    QString filter() const { return _filter; }
    // The item at a position of the list (0 to numItems() - 1).
    const MediaItemPtr& itemAt(int position) const {
        if (_transition) {
            return *(*_transition)[static_cast<std::size_t>(position)];
        }
        return (*_files)[_showsAll ? static_cast<std::size_t>(position)
                                   : _matches[static_cast<std::size_t>(position)]];
    }
    // The whole list, copied.
    std::vector<MediaItemPtr> filtered() const;
    // Whether the held folder is still being read (the list stays empty
    // meanwhile), or a search waits for the texts of its items.
    bool isLoading() const;
    // Whether rows of the list are still to be handed to the view (a slice
    // per turn of the event loop); numItems() counts those it holds.
    bool isPublishing() const { return _viewRows >= 0; }
    // Whole percentage of the held folder's source read, or -1 when unknown.
    int loadPercent() const;
    // Whether the held folder's source could not be read.
    bool loadFailed() const;

    void play();
    void stop();
    void togglePlay();

    virtual bool isPlaying();
    virtual bool canPlay();
    // The list positions the view has selected, in list order.
    virtual std::vector<int> selectedPositions() const;

    // The file of the item the list last could not play, as the user knows
    // it ("Intro.mp3"); empty when none.
    QString cannotPlayName() const { return _cannotPlayName; }

    // text without the leading and trailing spaces, tabs and other space separators.
    static QString trimmedFilter(const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    // Called at the start of every rebuild, while _filtered still holds the
    // old list (a model starts its reset here); the base does nothing.
    virtual void listWillChange();
    // Called after every rebuild of _filtered, before the notifications.
    virtual void listChanged();
    virtual void doPlay();
    virtual void doStop();
    // Selecting positions again: when the folder's files change under the
    // list (a live folder), the items that remain stay selected.
    virtual void reselectPositions(const std::vector<int>& positions);
    // Whether the rebuild under way follows a change of the folder's files
    // (a live folder, a catalogue read again, a sort) rather than a new
    // folder or filter: a list then keeps its place, its selection and what
    // plays.
    bool isLiveUpdate() const { return _liveUpdate; }
    // The positions of items in the list after a live update, in their
    // order: each the same object, else the item standing for the same file
    // or URL (a catalogue read again makes new items); -1 for one that is gone.
    std::vector<int> positionsAfterUpdate(const std::vector<MediaItemPtr>& items) const;
    // Says that item could not be played (QVMBListCtrlCannotPlay).
    void reportCannotPlay(MediaItem& item);

    // Hook: applies a live update told as runs of rows (edit.isSmall()),
    // while itemAt() still shows the old list: the subclass tells its view
    // each run around removeRows()/insertRows(), and the replaced rows with
    // replaceRow(). Answers false (the default) to have the list rebuilt
    // in place instead (listWillChange(), listChanged()).
    virtual bool applyEdit(const ListEdit& edit);
    // Steps of applyEdit(): what itemAt() shows changes accordingly.
    void removeRows(int first, int last);
    void insertRows(int first, int last);
    void replaceRow(int row);
    // Hook: the held folder's items got texts read in the background (their
    // tags): a view redraws what it shows of them. The base does nothing.
    virtual void detailsArrived();

    // How many more rows the view takes in one turn of the event loop than
    // it ever held before; 0 (the default) for a view that takes any list at
    // once (the grids work out what to draw from the viewport).
    virtual int publishingSlice() const;
    // Hook: the view is handed the next slice, rows first to last appended
    // after those it holds; the subclass tells its view around takeRows().
    virtual void rowsArriving(int first, int last);
    // Step of rowsArriving(): the list now holds rows up to last.
    void takeRows(int last);

private:
    // What the list shows: see _files.
    struct Shown {
        std::shared_ptr<const std::vector<MediaItemPtr>> files;
        bool showsAll = false;
        std::vector<std::uint32_t> matches;
        int count() const { return static_cast<int>(showsAll ? files->size() : matches.size()); }
        const MediaItemPtr& at(int row) const {
            return (
                *files)[showsAll ? static_cast<std::size_t>(row) : matches[static_cast<std::size_t>(row)]];
        }
    };
    // The list for the held folder and filter now.
    Shown computeShown();
    void show(Shown shown);
    void notifyCountAndPlay();
    // Applies a pending sort or search once the folder can answer it.
    bool waitsForDetails() const;
    // The whole list's length, held by the view or not.
    int wholeCount() const { return static_cast<int>(_showsAll ? _files->size() : _matches.size()); }
    // After the list was rebuilt: how much of it the view takes now, the
    // rest following a slice per turn.
    void startPublishing();
    void viewHolds(int rows);
    void publishNextSlice();
    void observeFolder(bool observe);
    bool _liveUpdate = false;
    // While a live update is told as runs of rows: the rows the view knows,
    // pointing into the old and the new list.
    std::unique_ptr<std::vector<const MediaItemPtr*>> _transition;
    QString _cannotPlayName;

    MediaFolderPtr _folder;
    QString _filter;
    // The list: the folder's files as they were at the last rebuild (shared
    // with the folder, never copied) and, while a filter is set, the
    // positions among them of those that match it, in the folder's order.
    // Indexes from the views are positions in this list.
    std::shared_ptr<const std::vector<MediaItemPtr>> _files = std::make_shared<std::vector<MediaItemPtr>>();
    bool _showsAll = false;
    std::vector<std::uint32_t> _matches;
    // While the view holds only the first rows of the list: their number
    // (the rest follows from _publishing); -1 when it holds all of it. Qt's
    // table keeps the memory of the longest list it held, which it touched
    // when it took it, so a list no longer than _mostViewRows goes at once.
    int _viewRows = -1;
    int _mostViewRows = 0;
    QTimer _publishing;
    // The held folder's files folded for searching: taken from the folder's
    // load when it folded them, else made on the first search; dropped
    // whenever the folder or its files change.
    SearchIndex _index;
};
