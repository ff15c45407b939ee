#include "browser/BrowserController.h"

#include "browser/ImageButton.h"
#include "browser/QVMBListController.h"
#include "browser/QVMediaBrowser.h"
#include "browser/SegmentedControl.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Resources.h"
#include "platform/system/Translations.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>

namespace {

enum Kind { PicturesKind = 0, MusicKind = 1, MoviesKind = 2 };

struct TabKind {
    int bit;
    const char* label;
    int tag;
};
const TabKind kTabKinds[] = {
    {QVMediaBrowser::Pictures, QT_TRANSLATE_NOOP("BrowserController", "Pictures"), PicturesKind},
    {QVMediaBrowser::Music, QT_TRANSLATE_NOOP("BrowserController", "Music"), MusicKind},
    {QVMediaBrowser::Movies, QT_TRANSLATE_NOOP("BrowserController", "Movies"), MoviesKind},
};

} // namespace

BrowserController::BrowserController(const Outlets& outlets, QObject* parent)
    : QObject(parent)
    , _tabView(outlets.tabView)
    , _buttons(outlets.buttons)
    , _searchField(outlets.searchField)
    , _playButton(outlets.playButton)
    , _itemCount(outlets.itemCount)
    , _photoList(outlets.photoList)
    , _musicList(outlets.musicList)
    , _movieList(outlets.movieList)
    , _messageTimer(new QTimer(this)) {
    _messageTimer->setSingleShot(true);
    _messageTimer->setInterval(kMessageMs);
    connect(_messageTimer, &QTimer::timeout, this, [this] {
        _message.clear();
        numItemsChanged(Notification{});
    });
    Translations::install(); // the count's English plural comes from a catalogue too
    _icons.reserve(10);
    _icons.insert(QStringLiteral("play"), Resources::image(QStringLiteral("MBPlayN.tif")));
    _icons.insert(QStringLiteral("playAlt"), Resources::image(QStringLiteral("MBPlayH.tif")));
    _icons.insert(QStringLiteral("stop"), Resources::image(QStringLiteral("MBStopN.tif")));
    _icons.insert(QStringLiteral("stopAlt"), Resources::image(QStringLiteral("MBStopH.tif")));
    _icons.insert(QStringLiteral("disabled"), Resources::image(QStringLiteral("MBPlayD.tif")));
}

BrowserController::~BrowserController() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

void BrowserController::awakeFromNib() {
    const int mask = _typeMask >= 0 ? _typeMask : QVMediaBrowser::sharedBrowser()->typeMask();
    int count = 0;
    for (const TabKind& kind : kTabKinds) {
        count += (mask & kind.bit) != 0 ? 1 : 0;
    }
    const int designedWidth = _buttons->segmentCount() > 0 ? _buttons->width(0) : 0;
    const int designedCount = _buttons->segmentCount();
    _buttons->setSegmentCount(count);
    if (count > 0) {
        // The segments share the width the designed segments took together.
        const int width = static_cast<int>(static_cast<float>(designedWidth) *
                                           static_cast<float>(designedCount) / static_cast<float>(count));
        int segment = 0;
        for (const TabKind& kind : kTabKinds) {
            if ((mask & kind.bit) == 0) {
                continue;
            }
            _buttons->setLabel(segment, tr(kind.label));
            _buttons->setTag(segment, kind.tag);
            _buttons->setWidth(segment, width);
            ++segment;
        }
    }
    _playButton->setVisible(_buttons->selectedSegment() != 0);

    connect(_buttons, &SegmentedControl::clicked, this, &BrowserController::tabClick);
    connect(_searchField, &QLineEdit::textChanged, this, &BrowserController::searchTextChanged);
    connect(_playButton, &QAbstractButton::clicked, this, &BrowserController::playButtonClick);

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, QVMBListCtrlIsPlayingChanged, nullptr,
                       [this](const Notification& n) { isPlayingChanged(n); });
    center.addObserver(this, QVMBListCtrlCanPlayChanged, nullptr,
                       [this](const Notification& n) { canPlayChanged(n); });
    center.addObserver(this, QVMBListCtrlNumItemsChanged, nullptr,
                       [this](const Notification& n) { numItemsChanged(n); });
    center.addObserver(this, QVMBListCtrlCannotPlay, nullptr,
                       [this](const Notification& n) { cannotPlay(n); });
}

void BrowserController::cannotPlay(const Notification& notification) {
    QVMBListController* list = currentList();
    if (list == nullptr || notification.object != list) {
        return;
    }
    _message = tr("Cannot play “%1”").arg(list->cannotPlayName());
    _messageTimer->start();
    numItemsChanged(notification);
}

int BrowserController::selectedTag() const {
    return _buttons->selectedTag();
}

QVMBListController* BrowserController::currentList() const {
    switch (selectedTag()) {
    case PicturesKind:
        return _photoList;
    case MusicKind:
        return _musicList;
    case MoviesKind:
        return _movieList;
    default:
        return nullptr;
    }
}

void BrowserController::showPlayButtonFor(int tag) {
    _playButton->setVisible(tag != PicturesKind);
}

void BrowserController::tabClick() {
    // A message about another tab's list is not this one's.
    _message.clear();
    _messageTimer->stop();
    if (_musicList->isPlaying()) {
        _musicList->stop();
    }
    if (_movieList->isPlaying()) {
        _movieList->stop();
    }
    const int tag = selectedTag();
    if (tag >= 0 && tag < _tabView->count()) {
        _tabView->setCurrentIndex(tag);
    }
    showPlayButtonFor(tag);
    // Clearing the field drops every list's filter; do it even when it was empty.
    const QSignalBlocker blocker(_searchField);
    _searchField->setText(QString());
    searchTextChanged();
    updatePlayButton();
    numItemsChanged(Notification{});
}

void BrowserController::searchTextChanged() {
    const QString text = _searchField->text();
    _photoList->setFilter(text);
    _musicList->setFilter(text);
    _movieList->setFilter(text);
}

void BrowserController::playButtonClick() {
    QVMBListController* list = currentList();
    if (list != nullptr && list->canPlay()) {
        list->togglePlay();
    }
}

void BrowserController::updatePlayButton() {
    QVMBListController* list = currentList();
    _playButton->setAccessibleDescription(QString());
    if (list != nullptr && list->isPlaying()) {
        _playButton->setImage(_icons.value(QStringLiteral("stop")));
        _playButton->setAlternateImage(_icons.value(QStringLiteral("stopAlt")));
        _playButton->setToolTip(tr("Stop"));
        _playButton->setAccessibleName(tr("Stop"));
    } else if (list != nullptr && list->canPlay()) {
        _playButton->setImage(_icons.value(QStringLiteral("play")));
        _playButton->setAlternateImage(_icons.value(QStringLiteral("playAlt")));
        _playButton->setToolTip(tr("Play"));
        _playButton->setAccessibleName(tr("Play"));
    } else {
        _playButton->setImage(_icons.value(QStringLiteral("disabled")));
        _playButton->setAlternateImage(_icons.value(QStringLiteral("disabled")));
        _playButton->setToolTip(QString());
        // Still the play button for a reader, only with nothing to play.
        _playButton->setAccessibleName(tr("Play"));
        _playButton->setAccessibleDescription(tr("Nothing to play"));
    }
}

void BrowserController::isPlayingChanged(const Notification&) {
    updatePlayButton();
}

void BrowserController::canPlayChanged(const Notification&) {
    updatePlayButton();
}

void BrowserController::numItemsChanged(const Notification&) {
    if (!_message.isEmpty()) {
        _itemCount->setText(_message);
        return;
    }
    QVMBListController* list = currentList();
    const bool loading = list != nullptr && list->isLoading();
    const int percent = loading ? list->loadPercent() : -1;
    if (_loadingIndicator != nullptr) {
        // No range is the toolkit's busy animation; catalogues know how far they got.
        _loadingIndicator->setRange(0, percent >= 0 ? 100 : 0);
        _loadingIndicator->setValue(std::max(percent, 0));
        _loadingIndicator->setVisible(loading);
    }
    if (loading) {
        _itemCount->setText(percent >= 0 ? tr("Loading… %1 %").arg(percent) : tr("Loading…"));
        return;
    }
    if (list != nullptr && list->loadFailed()) {
        _itemCount->setText(tr("Cannot be read"));
        return;
    }
    const int n = list != nullptr ? list->numItems() : 0;
    _itemCount->setText(tr("%n item(s)", nullptr, n));
}
