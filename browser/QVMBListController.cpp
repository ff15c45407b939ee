#include "browser/QVMBListController.h"

#include "platform/NotificationCenter.h"

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
    std::vector<const MediaItem*> selected;
    for (const int position : selectedPositions()) {
        if (position >= 0 && position < numItems()) {
            selected.push_back(itemAt(position).get());
        }
    }
    _index.clear();
    updateList();
    if (selected.empty()) {
        return;
    }
    QHash<const MediaItem*, int> positions;
    for (int i = 0; i < numItems(); ++i) {
        positions.insert(itemAt(i).get(), i);
    }
    std::vector<int> kept;
    for (const MediaItem* item : selected) {
        if (const auto found = positions.constFind(item); found != positions.constEnd()) {
            kept.push_back(*found);
        }
    }
    if (!kept.empty()) {
        reselectPositions(kept);
    }
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
