#include "browser/MediaBrowserWindow.h"

#include "browser/BrowserController.h"
#include "browser/MovieListController.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "browser/QVMediaBrowser.h"
#include "iconview/IconView.h"
#include "model/QVMedia.h"
#include "ui_MediaBrowser.h"

#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>

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

MediaBrowserWindow::MediaBrowserWindow(QWidget* parent)
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
