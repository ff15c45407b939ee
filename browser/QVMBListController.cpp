#include "browser/QVMBListController.h"

#include "browser/ListEdit.h"
#include "model/Photo.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"

#include <QHash>

const char QVMBListCtrlNumItemsChanged[] = "QVMBListCtrlNumItemsChangedNotification";
const char QVMBListCtrlCannotPlay[] = "QVMBListCtrlCannotPlayNotification";
const char QVMBListCtrlCanPlayChanged[] = "QVMBListCtrlCanPlayChangedNotification";
const char QVMBListCtrlIsPlayingChanged[] = "QVMBListCtrlIsPlayingChangedNotification";

namespace {

// The platform's white space: tab and the Unicode space separators, not line breaks.
bool isFilterSpace(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

} // namespace

QVMBListController::QVMBListController(QObject* parent)
    : QAbstractTableModel(parent) {
    // A turn of its own for each slice: what the user did meanwhile is
    // answered between them.
    _publishing.setSingleShot(true);
    _publishing.setInterval(0);
    connect(&_publishing, &QTimer::timeout, this, [this] { publishNextSlice(); });
}

QVMBListController::~QVMBListController() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

void QVMBListController::observeFolder(bool observe) {
    if (!_folder) {
        return;
    }
    NotificationCenter& center = NotificationCenter::defaultCenter();
    if (observe) {
        center.addObserver(this, MediaFolderFilesChanged, _folder.get(),
                           [this](const Notification& n) { filesChanged(n); });
        center.addObserver(this, MediaFolderLoadStateChanged, _folder.get(),
                           [this](const Notification& n) { loadStateChanged(n); });
    } else {
        center.removeObserver(this, MediaFolderFilesChanged, _folder.get());
        center.removeObserver(this, MediaFolderLoadStateChanged, _folder.get());
    }
}

void QVMBListController::setFolder(const MediaFolderPtr& folder) {
    observeFolder(false);
    _folder = folder;
    _index.clear();
    observeFolder(true);
    stop();
    if (_folder) {
        _folder->loadInBackground();
    }
    updateList();
}

QString QVMBListController::trimmedFilter(const QString& text) {
    if (text.isNull()) {
        return {};
    }
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isFilterSpace(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isFilterSpace(text.at(end - 1))) {
        --end;
    }
    // mid() of a non-null string stays non-null, also when empty.
    return text.mid(begin, end - begin);
}

void QVMBListController::setFilter(const QString& text) {
    _filter = trimmedFilter(text);
    updateList();
}

bool QVMBListController::waitsForDetails() const {
    // A search needs every item's texts; a folder still reading its items'
    // tags answers it once they are in, instead of the main thread reading them.
    return _folder && _folder->isLoaded() && !_filter.isEmpty() && !_folder->searchTexts() &&
           !_index.isBuilt() && _folder->detailsPending();
}

QVMBListController::Shown QVMBListController::computeShown() {
    Shown shown;
    if (!_folder || !_folder->isLoaded()) {
        shown.files = std::make_shared<std::vector<MediaItemPtr>>();
        return shown;
    }
    shown.files = _folder->filesSnapshot();
    if (shown.files != _files) {
        _index.clear();
    }
    if (_filter.isEmpty()) {
        shown.showsAll = true;
        return shown;
    }
    if (waitsForDetails()) {
        return shown; // nothing matches yet: the count area says it is loading
    }
    if (!_index.isBuilt()) {
        if (std::shared_ptr<const SearchIndex::Folded> folded = _folder->searchTexts()) {
            _index.use(std::move(folded));
        } else {
            _index.build(*shown.files);
        }
    }
    shown.matches = _index.match(_filter);
    return shown;
}

void QVMBListController::show(Shown shown) {
    _files = std::move(shown.files);
    _showsAll = shown.showsAll;
    _matches = std::move(shown.matches);
}

void QVMBListController::notifyCountAndPlay() {
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlNumItemsChanged, this);
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlCanPlayChanged, this);
}

void QVMBListController::updateList() {
    listWillChange();
    show(computeShown());
    startPublishing();
    listChanged();
    notifyCountAndPlay();
}

void QVMBListController::startPublishing() {
    const int slice = publishingSlice();
    const int atOnce = std::max(slice, _mostViewRows);
    viewHolds(slice > 0 && wholeCount() > atOnce ? atOnce : wholeCount());
}

void QVMBListController::viewHolds(int rows) {
    _viewRows = rows < wholeCount() ? rows : -1;
    _mostViewRows = std::max(_mostViewRows, numItems());
    if (_viewRows < 0) {
        _publishing.stop();
    } else if (!_publishing.isActive()) {
        _publishing.start();
    }
}

void QVMBListController::publishNextSlice() {
    if (_viewRows < 0) {
        return;
    }
    const int first = _viewRows;
    rowsArriving(first, std::min(wholeCount(), first + std::max(1, publishingSlice())) - 1);
    notifyCountAndPlay();
}

int QVMBListController::publishingSlice() const {
    return 0;
}

void QVMBListController::rowsArriving(int, int last) {
    takeRows(last);
}

void QVMBListController::takeRows(int last) {
    viewHolds(last + 1);
}

void QVMBListController::filesChanged(const Notification&) {
    if (_folder && _folder->filesReordered()) {
        // A sort: the list starts over in the new order (what plays stops).
        _index.clear();
        updateList();
        return;
    }
    // The selected items are kept alive through the update, so that they
    // can be found again by object.
    std::vector<MediaItemPtr> selected;
    for (const int position : selectedPositions()) {
        if (position >= 0 && position < numItems()) {
            selected.push_back(itemAt(position));
        }
    }
    Shown now = computeShown();
    const Shown before{_files, _showsAll, _matches};
    // A list that was or becomes empty is rebuilt at once; other changes
    // are told as runs of rows where they can be.
    const bool rebuild = before.count() == 0 || now.count() == 0;
    const ListEdit edit =
        rebuild ? ListEdit{{}, {}, {}, true}
                : ListEdit::between(
                      before.count(), [&before](int row) -> const MediaItemPtr& { return before.at(row); },
                      now.count(), [&now](int row) -> const MediaItemPtr& { return now.at(row); });
    _liveUpdate = true;
    // The view goes on showing the old rows it holds (the transition) until
    // told otherwise; those it has not been given yet are not told of.
    const int held = numItems();
    int viewRows = held;
    const ListEdit seen = edit.seenByFirst(viewRows);
    _transition = std::make_unique<std::vector<const MediaItemPtr*>>();
    _transition->reserve(static_cast<std::size_t>(held));
    for (int row = 0; row < held; ++row) {
        _transition->push_back(&before.at(row));
    }
    show(std::move(now));
    bool told = edit.isEmpty();
    if (!told && edit.isSmall()) {
        told = applyEdit(seen);
    }
    if (told) {
        _transition.reset();
        viewHolds(viewRows);
    } else {
        listWillChange();
        _transition.reset();
        startPublishing();
        listChanged();
        std::vector<int> kept;
        for (const int position : positionsAfterUpdate(selected)) {
            if (position >= 0) {
                kept.push_back(position);
            }
        }
        if (!kept.empty()) {
            reselectPositions(kept);
        }
    }
    _liveUpdate = false;
    notifyCountAndPlay();
}

bool QVMBListController::applyEdit(const ListEdit&) {
    return false;
}

void QVMBListController::removeRows(int first, int last) {
    _transition->erase(_transition->begin() + first, _transition->begin() + last + 1);
}

void QVMBListController::insertRows(int first, int last) {
    std::vector<const MediaItemPtr*> rows;
    for (int row = first; row <= last; ++row) {
        rows.push_back(
            &(*_files)[_showsAll ? static_cast<std::size_t>(row) : _matches[static_cast<std::size_t>(row)]]);
    }
    _transition->insert(_transition->begin() + first, rows.begin(), rows.end());
}

void QVMBListController::replaceRow(int row) {
    (*_transition)[static_cast<std::size_t>(row)] =
        &(*_files)[_showsAll ? static_cast<std::size_t>(row) : _matches[static_cast<std::size_t>(row)]];
}

void QVMBListController::detailsArrived() {
}

std::vector<int> QVMBListController::positionsAfterUpdate(const std::vector<MediaItemPtr>& items) const {
    std::vector<int> positions(items.size(), -1);
    if (items.empty()) {
        return positions;
    }
    // One pass by object, which finds everything when the folder kept its
    // items (a local folder does)...
    QHash<const MediaItem*, std::size_t> byItem;
    for (std::size_t i = 0; i < items.size(); ++i) {
        byItem.insert(items[i].get(), i);
    }
    std::size_t found = 0;
    for (int position = 0; position < numItems() && found < items.size(); ++position) {
        if (const auto wanted = byItem.constFind(itemAt(position).get()); wanted != byItem.constEnd()) {
            positions[*wanted] = position;
            ++found;
        }
    }
    if (found == items.size()) {
        return positions;
    }
    // ...and one by the file or URL for the rest.
    QHash<QString, std::size_t> byPath;
    QHash<QUrl, std::size_t> byUrl;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (positions[i] >= 0) {
            continue;
        }
        // Pictures on disk by their file; everything else (a media server's
        // pictures too) by its URL.
        if (const auto* photo = dynamic_cast<const Photo*>(items[i].get());
            photo && !photo->path().isEmpty()) {
            byPath.insert(photo->path(), i);
        } else if (const QUrl url = items[i]->url(); !url.isEmpty()) {
            byUrl.insert(url, i);
        }
    }
    if (byPath.isEmpty() && byUrl.isEmpty()) {
        return positions;
    }
    for (int position = 0; position < numItems(); ++position) {
        const MediaItem* item = itemAt(position).get();
        if (const auto* photo = dynamic_cast<const Photo*>(item); photo && !photo->path().isEmpty()) {
            if (const auto wanted = byPath.constFind(photo->path()); wanted != byPath.constEnd()) {
                positions[*wanted] = position;
            }
        } else if (!byUrl.isEmpty()) {
            if (const auto wanted = byUrl.constFind(item->url()); wanted != byUrl.constEnd()) {
                positions[*wanted] = position;
            }
        }
    }
    return positions;
}

std::vector<int> QVMBListController::selectedPositions() const {
    return {};
}

void QVMBListController::reselectPositions(const std::vector<int>&) {
}

void QVMBListController::loadStateChanged(const Notification&) {
    // The contents themselves arrive with the files notification; this moves
    // the count area's progress on, and brings the texts read for the items.
    if (_folder && _folder->isLoaded() && !_folder->detailsPending()) {
        detailsArrived();
        if (!_filter.isEmpty() && !_index.isBuilt()) {
            updateList(); // the search that waited for them
            return;
        }
    }
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlNumItemsChanged, this);
}

bool QVMBListController::isLoading() const {
    return _folder && (_folder->loadState() == MediaFolder::LoadState::Loading || waitsForDetails());
}

int QVMBListController::loadPercent() const {
    return _folder ? _folder->loadPercent() : -1;
}

bool QVMBListController::loadFailed() const {
    return _folder && _folder->loadState() == MediaFolder::LoadState::Failed;
}

int QVMBListController::numItems() const {
    if (_transition) {
        return static_cast<int>(_transition->size());
    }
    return _viewRows >= 0 ? _viewRows : wholeCount();
}

std::vector<MediaItemPtr> QVMBListController::filtered() const {
    std::vector<MediaItemPtr> items;
    items.reserve(static_cast<std::size_t>(numItems()));
    for (int i = 0; i < numItems(); ++i) {
        items.push_back(itemAt(i));
    }
    return items;
}

void QVMBListController::play() {
    if (!canPlay()) {
        return;
    }
    stop();
    doPlay();
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlIsPlayingChanged, this);
}

void QVMBListController::stop() {
    if (!isPlaying()) {
        return;
    }
    doStop();
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlIsPlayingChanged, this);
}

void QVMBListController::togglePlay() {
    if (isPlaying()) {
        stop();
    } else {
        play();
    }
}

bool QVMBListController::isPlaying() {
    return false;
}

bool QVMBListController::canPlay() {
    return false;
}

void QVMBListController::listWillChange() {
}

void QVMBListController::listChanged() {
}

int QVMBListController::rowCount(const QModelIndex&) const {
    return 0;
}

int QVMBListController::columnCount(const QModelIndex&) const {
    return 0;
}

QVariant QVMBListController::data(const QModelIndex&, int) const {
    return {};
}

void QVMBListController::doPlay() {
}

void QVMBListController::doStop() {
}

void QVMBListController::reportCannotPlay(MediaItem& item) {
    // The file's own name: the one the user would look for on disk.
    const QString path = Path::localPath(item.url());
    _cannotPlayName = path.isEmpty() ? item.name() : Path::lastComponent(path);
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlCannotPlay, this);
}
