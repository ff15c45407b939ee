#include "browser/QVMBListController.h"

#include "model/Photo.h"
#include "platform/system/NotificationCenter.h"

#include <QHash>

const char QVMBListCtrlNumItemsChanged[] = "QVMBListCtrlNumItemsChangedNotification";
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

void QVMBListController::updateList() {
    listWillChange();
    _showsAll = false;
    _matches.clear();
    if (_folder && _folder->isLoaded()) {
        std::shared_ptr<const std::vector<MediaItemPtr>> files = _folder->filesSnapshot();
        if (files != _files) {
            _index.clear();
        }
        _files = std::move(files);
        if (!_filter.isEmpty()) {
            if (!_index.isBuilt()) {
                if (std::shared_ptr<const SearchIndex::Folded> folded = _folder->searchTexts()) {
                    _index.use(std::move(folded));
                } else {
                    _index.build(*_files);
                }
            }
            _matches = _index.match(_filter);
        } else {
            _showsAll = true;
        }
    } else {
        _files = std::make_shared<std::vector<MediaItemPtr>>();
    }
    listChanged();
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlNumItemsChanged, this);
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlCanPlayChanged, this);
}

void QVMBListController::filesChanged(const Notification&) {
    // The selected items are kept alive through the rebuild, so that they
    // can be found again by object.
    std::vector<MediaItemPtr> selected;
    for (const int position : selectedPositions()) {
        if (position >= 0 && position < numItems()) {
            selected.push_back(itemAt(position));
        }
    }
    _index.clear();
    _liveUpdate = true;
    updateList();
    _liveUpdate = false;
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
    // The contents themselves arrive with the files notification; this only
    // moves the count area's progress on.
    NotificationCenter::defaultCenter().postNotification(QVMBListCtrlNumItemsChanged, this);
}

bool QVMBListController::isLoading() const {
    return _folder && _folder->loadState() == MediaFolder::LoadState::Loading;
}

int QVMBListController::loadPercent() const {
    return _folder ? _folder->loadPercent() : -1;
}

bool QVMBListController::loadFailed() const {
    return _folder && _folder->loadState() == MediaFolder::LoadState::Failed;
}

int QVMBListController::numItems() const {
    return static_cast<int>(_showsAll ? _files->size() : _matches.size());
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
