#include "browser/MediaBrowserWindow.h"

#include "browser/BrowserController.h"
#include "browser/BrowserStateAutosave.h"
#include "browser/EmptyPlaceHint.h"
#include "browser/ItemContextMenu.h"
#include "browser/ListActions.h"
#include "browser/ListKeyHandler.h"
#include "browser/ListToolTips.h"
#include "browser/MovieListController.h"
#include "browser/MusicColumns.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/PicturePreview.h"
#include "browser/QVMBTreeController.h"
#include "browser/QVMediaBrowser.h"
#include "browser/SegmentedControl.h"
#include "browser/TabShortcuts.h"
#include "iconview/IconView.h"
#include "model/QVMedia.h"
#include "ui_MediaBrowser.h"

#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

namespace {

enum Kind { PicturesKind = 0, MusicKind = 1, MoviesKind = 2 };

// The tab bar as designed: three segments of this width, which the bar
// controller shares out among the kinds the type mask offers.
constexpr int kDesignedSegments = 3;
constexpr int kDesignedSegmentWidth = 90;

void prepareOutline(QTreeView* outline) {
    outline->setHeaderHidden(true);
    outline->setUniformRowHeights(true);
    outline->setIconSize(QSize(16, 16));
    outline->setEditTriggers(QAbstractItemView::NoEditTriggers);
    outline->setSelectionMode(QAbstractItemView::SingleSelection);
}

} // namespace

MediaBrowserWindow::MediaBrowserWindow(QWidget* parent, int typeMask)
    : QVMBPanel(parent)
    , _ui(std::make_unique<Ui::MediaBrowser>()) {
    // The widgets of the form.
    _ui->setupUi(this);
    _ui->buttons->setSegmentCount(kDesignedSegments);
    for (int i = 0; i < kDesignedSegments; ++i) {
        _ui->buttons->setWidth(i, kDesignedSegmentWidth);
    }
    _photoView = new IconView();
    _ui->picturesScroll->setWidget(_photoView);
    _movieView = new IconView();
    _ui->moviesScroll->setWidget(_movieView);
    _musicTable = new MusicTableView(_ui->musicListHolder);
    _ui->musicListLayout->addWidget(_musicTable);
    for (QTreeView* outline : {_ui->picturesOutline, _ui->musicOutline, _ui->moviesOutline}) {
        prepareOutline(outline);
    }
    setFocusOrder();
    nameForReaders();
    // The outline takes a quarter of the height, the list the rest; growing
    // the window grows the list.
    for (QSplitter* splitter : {_ui->picturesSplitter, _ui->musicSplitter, _ui->moviesSplitter}) {
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 1);
        splitter->setSizes({140, 420});
    }

    // The objects of the form.
    _photos = std::make_shared<MediaFolder>();
    _music = std::make_shared<MediaFolder>();
    _movies = std::make_shared<MediaFolder>();
    _media = std::make_unique<QVMedia>();
    _photoList = new PhotoListController(this);
    _musicList = new MusicListController(this);
    _movieList = new MovieListController(this);
    _trees[PicturesKind] = new QVMBTreeController(_photos, _ui->picturesOutline, _photoList, this);
    _trees[MusicKind] = new QVMBTreeController(_music, _ui->musicOutline, _musicList, this);
    _trees[MoviesKind] = new QVMBTreeController(_movies, _ui->moviesOutline, _movieList, this);
    _browserController = new BrowserController(
        BrowserController::Outlets{_ui->tabView, _ui->buttons, _ui->searchField, _ui->playButton,
                                   _ui->itemCount, _photoList, _musicList, _movieList},
        this);
    _browserController->setLoadingIndicator(_ui->loadingIndicator);
    _browserController->setTypeMask(typeMask);

    // The connections.
    _media->setPhotos(_photos);
    _media->setMusic(_music);
    _media->setMovies(_movies);
    _photoList->setIconView(_photoView);
    _photoView->setDataSource(_photoList);
    _movieList->setIconView(_movieView);
    _movieView->setDataSource(_movieList);
    _musicList->setTableView(_musicTable);
    makeCommands();

    // Only now is every object woken.
    _media->awakeFromNib();
    _photoView->awakeFromNib();
    _movieView->awakeFromNib();
    _musicList->awakeFromNib();
    _movieList->awakeFromNib();
    for (QVMBTreeController* tree : _trees) {
        tree->awakeFromNib();
    }
    _browserController->awakeFromNib();

    // Start on the first kind offered.
    if (_ui->buttons->segmentCount() > 0) {
        _ui->buttons->setSelectedSegment(0);
        _browserController->tabClick();
    }
    labelCurrentList();
    connect(_ui->buttons, &SegmentedControl::clicked, this, &MediaBrowserWindow::labelCurrentList);
    makeListHelpers();
}

void MediaBrowserWindow::makeListHelpers() {
    _preview = new PicturePreview(_photoList, this);
    // Stepping through the preview moves the grid along with it.
    connect(_preview, &PicturePreview::positionChanged, _photoView, &IconView::moveCursorTo);
    _actions[PicturesKind] = new ListActions(ListActions::Kind::Pictures, _photoList, _photoView, this);
    _actions[PicturesKind]->setPreview(_preview);
    _actions[MusicKind] = new ListActions(_musicList, _musicTable, this);
    _actions[MoviesKind] = new ListActions(ListActions::Kind::Movies, _movieList, _movieView, this);
    for (ListActions* actions : _actions) {
        new ListKeyHandler(actions, actions);
        new ItemContextMenu(actions, actions);
        new ListToolTips(actions, actions);
    }
    for (QTreeView* outline : {_ui->picturesOutline, _ui->musicOutline, _ui->moviesOutline}) {
        new ListKeyHandler(outline, outline);
    }
    new MusicColumns(_musicTable, _musicTable);
    _hints[PicturesKind] = new EmptyPlaceHint(EmptyPlaceHint::Kind::Pictures, _photos, _photoList,
                                              _ui->picturesScroll->viewport());
    _hints[MusicKind] =
        new EmptyPlaceHint(EmptyPlaceHint::Kind::Music, _music, _musicList, _musicTable->viewport());
    _hints[MoviesKind] =
        new EmptyPlaceHint(EmptyPlaceHint::Kind::Movies, _movies, _movieList, _ui->moviesScroll->viewport());
    auto* tabs = new TabShortcuts(this, _ui->buttons, _ui->searchField, this);
    new BrowserStateAutosave(
        this, _ui->buttons, tabs,
        {BrowserStateAutosave::Tab{_trees[PicturesKind], _ui->picturesOutline, _ui->picturesSplitter},
         BrowserStateAutosave::Tab{_trees[MusicKind], _ui->musicOutline, _ui->musicSplitter},
         BrowserStateAutosave::Tab{_trees[MoviesKind], _ui->moviesOutline, _ui->moviesSplitter}},
        this);
}

MediaBrowserWindow::~MediaBrowserWindow() {
    // The lists stop playing and let go of their views before the views go.
    delete _browserController;
    for (QVMBTreeController* tree : _trees) {
        delete tree;
    }
    delete _musicList;
    delete _movieList;
    delete _photoList;
}

void MediaBrowserWindow::setFocusOrder() {
    // The grids take the focus and the arrow keys themselves; their scroll
    // areas would otherwise be a stop of their own that scrolls on arrows.
    _ui->picturesScroll->setFocusPolicy(Qt::NoFocus);
    _ui->moviesScroll->setFocusPolicy(Qt::NoFocus);
    // Top to bottom as the window reads: the tab bar, each tab's outline and
    // list (the hidden tabs' widgets are passed over), the search field, the
    // play button and the menu. The lists are made after the form, so without
    // this they would come last.
    const QList<QWidget*> order = {_ui->buttons,    _ui->picturesOutline, _photoView, _ui->musicOutline,
                                   _musicTable,     _ui->moviesOutline,   _movieView, _ui->searchField,
                                   _ui->playButton, _ui->menuButton};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    // The window opens with the tab bar focused, as the first in that order.
    _ui->buttons->setFocus(Qt::OtherFocusReason);
}

void MediaBrowserWindow::makeCommands() {
    _commandMenu = new QMenu(this);
    _commandMenu->addAction(tr("Preferences…"), this,
                            [] { QVMediaBrowser::sharedBrowser()->showPreferences(nullptr); });
    _ui->menuButton->setMenu(_commandMenu);

    // Keyboard: Ctrl+F to the search field; Enter or Down there goes on to the results.
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        _ui->searchField->setFocus(Qt::ShortcutFocusReason);
        _ui->searchField->selectAll();
    });
    connect(_ui->searchField, &QLineEdit::returnPressed, this, &MediaBrowserWindow::focusCurrentList);
    auto* down = new QShortcut(QKeySequence(Qt::Key_Down), _ui->searchField);
    down->setContext(Qt::WidgetShortcut);
    connect(down, &QShortcut::activated, this, &MediaBrowserWindow::focusCurrentList);
}

void MediaBrowserWindow::nameForReaders() {
    _photoView->setAccessibleName(tr("Pictures"));
    _movieView->setAccessibleName(tr("Movies"));
    _musicTable->setAccessibleName(tr("Tracks"));
    // The search field's clear button is the line edit's own, with no text.
    for (QToolButton* button : _ui->searchField->findChildren<QToolButton*>()) {
        button->setAccessibleName(tr("Clear search"));
    }
}

void MediaBrowserWindow::labelCurrentList() {
    // The item count describes the list on show: a reader finds it as that
    // list's label.
    QWidget* list = nullptr;
    switch (_browserController->selectedTag()) {
    case PicturesKind:
        list = _photoView;
        break;
    case MusicKind:
        list = _musicTable;
        break;
    case MoviesKind:
        list = _movieView;
        break;
    default:
        break;
    }
    _ui->itemCount->setBuddy(list);
}

void MediaBrowserWindow::focusCurrentList() {
    switch (_browserController->selectedTag()) {
    case PicturesKind:
        _photoView->setFocus(Qt::TabFocusReason);
        break;
    case MusicKind:
        _musicTable->setFocus(Qt::TabFocusReason);
        break;
    case MoviesKind:
        _movieView->setFocus(Qt::TabFocusReason);
        break;
    default:
        break;
    }
}
