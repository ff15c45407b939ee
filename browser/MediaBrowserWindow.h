#pragma once

#include "browser/QVMBPanel.h"
#include "model/MediaFolder.h"

#include <memory>

class BrowserController;
class EmptyPlaceHint;
class ListActions;
class PicturePreview;
class IconView;
class MovieListController;
class MusicListController;
class MusicTableView;
class PhotoListController;
class QMenu;
class QVMBTreeController;
class QVMedia;
namespace Ui {
class MediaBrowser;
}

// The browser window, loaded from its "MediaBrowser" form: the widgets of the
// form, then the three roots, the media roots object, the three lists, one
// source outline controller per tab and the bar controller. Everything is
// connected first; only then is each object woken, so none depends on the
// order of the others' wake-up.
class MediaBrowserWindow : public QVMBPanel {
    Q_OBJECT
public:
    // typeMask: the kinds the tab bar offers; -1 for the shared browser's.
    explicit MediaBrowserWindow(QWidget* parent = nullptr, int typeMask = -1);
    ~MediaBrowserWindow() override;

    // The commands offered by the window's menu button; hosts may add theirs.
    QMenu* commandMenu() const { return _commandMenu; }

    Ui::MediaBrowser& ui() const { return *_ui; }
    MediaFolderPtr photosRoot() const { return _photos; }
    MediaFolderPtr musicRoot() const { return _music; }
    MediaFolderPtr moviesRoot() const { return _movies; }
    QVMedia& media() const { return *_media; }
    PhotoListController* photoList() const { return _photoList; }
    MusicListController* musicList() const { return _musicList; }
    MovieListController* movieList() const { return _movieList; }
    QVMBTreeController* treeController(int kind) const { return _trees[kind]; }
    BrowserController* browserController() const { return _browserController; }
    IconView* photoView() const { return _photoView; }
    IconView* movieView() const { return _movieView; }
    MusicTableView* musicTable() const { return _musicTable; }
    // The larger look at a picture of the pictures list.
    PicturePreview* preview() const { return _preview; }
    // What the keys and the context menu do with a tab's selected items.
    ListActions* actions(int kind) const { return _actions[kind]; }
    // What a tab's list says while it shows nothing.
    EmptyPlaceHint* emptyPlaceHint(int kind) const { return _hints[kind]; }

private:
    void setFocusOrder();
    void makeCommands();
    // The keys, menus, tooltips, hints and remembered state of the lists.
    void makeListHelpers();
    void focusCurrentList();
    // Names the views a screen reader cannot name from their text.
    void nameForReaders();
    // Makes the item count the label of the current tab's list.
    void labelCurrentList();

    std::unique_ptr<Ui::MediaBrowser> _ui;
    MediaFolderPtr _photos;
    MediaFolderPtr _music;
    MediaFolderPtr _movies;
    std::unique_ptr<QVMedia> _media;
    PhotoListController* _photoList = nullptr;
    MusicListController* _musicList = nullptr;
    MovieListController* _movieList = nullptr;
    QVMBTreeController* _trees[3] = {};
    BrowserController* _browserController = nullptr;
    IconView* _photoView = nullptr;
    IconView* _movieView = nullptr;
    MusicTableView* _musicTable = nullptr;
    QMenu* _commandMenu = nullptr;
    PicturePreview* _preview = nullptr;
    ListActions* _actions[3] = {};
    EmptyPlaceHint* _hints[3] = {};
};
