#include "browser/BrowserController.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/MovieListController.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "iconview/IconView.h"
#include "prefs/PrefsController.h"
#include "prefs/UserPreferences.h"
#include "support/TempHome.h"
#include "support/Wait.h"
#include "ui_MediaBrowser.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A home shaped like the demo library: pictures in two folders, music and movies folders.
class WindowHome : public TempHome {
public:
    WindowHome() {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(makeDirectory(QStringLiteral("Pictures/Holiday")) + QStringLiteral("/Beach.png"));
        picture.save(file(QStringLiteral("Pictures/Holiday/Harbour.png")));
        picture.save(makeDirectory(QStringLiteral("Pictures/Garden")) + QStringLiteral("/Roses.png"));
        makeDirectory(QStringLiteral("Music/Band"));
        makeDirectory(QStringLiteral("Movies/Clips"));
    }
};

QStringList rowNames(QAbstractItemModel* model, const QModelIndex& parent = {}) {
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        names.append(model->index(row, 0, parent).data().toString());
    }
    return names;
}

TEST(MediaBrowserWindow, LoadsTheRootsIntoTheOutlinesAndFillsTheListOfTheSelectedFolder) {
    WindowHome home;
    MediaBrowserWindow window;
    window.show();
    Ui::MediaBrowser& ui = window.ui();

    QVMBTreeController* pictures = window.treeController(0);
    EXPECT_EQ(rowNames(pictures), QStringList{QStringLiteral("Pictures")});
    // Sub-folders are read in the background, and keep the directory's own order, whatever it is.
    ASSERT_EVENTUALLY(pictures->rowCount(pictures->index(0, 0)) == 2, 5000);
    QStringList subFolders = rowNames(pictures, pictures->index(0, 0));
    subFolders.sort();
    EXPECT_EQ(subFolders, (QStringList{QStringLiteral("Garden"), QStringLiteral("Holiday")}));
    EXPECT_EQ(rowNames(window.treeController(1)), QStringList{QStringLiteral("Music")});
    EXPECT_EQ(rowNames(window.treeController(2)), QStringList{QStringLiteral("Movies")});
    EXPECT_EQ(ui.tabView->currentIndex(), 0);
    EXPECT_EQ(ui.itemCount->text(), QStringLiteral("0 items"));

    // Selecting Holiday fills the grid and the count.
    ui.picturesOutline->expand(pictures->index(0, 0));
    subFolders = rowNames(pictures, pictures->index(0, 0));
    const int holiday = static_cast<int>(subFolders.indexOf(QStringLiteral("Holiday")));
    ASSERT_GE(holiday, 0);
    ui.picturesOutline->setCurrentIndex(pictures->index(holiday, 0, pictures->index(0, 0)));
    // Read in the background: the count area says so until the files arrive.
    EXPECT_EQ(ui.itemCount->text(), QStringLiteral("Loading…"));
    EXPECT_TRUE(ui.loadingIndicator->isVisible());
    EXPECT_EVENTUALLY(window.photoList()->numItems() == 2, 5000);
    EXPECT_EQ(ui.itemCount->text(), QStringLiteral("2 items"));
    EXPECT_FALSE(ui.loadingIndicator->isVisible());

    // Typing filters every list at once.
    QTest::keyClicks(ui.searchField, QStringLiteral("harb"));
    EXPECT_EQ(window.photoList()->numItems(), 1);
    EXPECT_EQ(window.photoList()->filter(), QStringLiteral("harb"));
    EXPECT_EQ(window.musicList()->filter(), QStringLiteral("harb"));
    EXPECT_EQ(window.movieList()->filter(), QStringLiteral("harb"));
    EXPECT_EQ(ui.itemCount->text(), QStringLiteral("1 item"));
}

TEST(MediaBrowserWindow, APreferenceChangeRebuildsTheOutlines) {
    WindowHome home;
    MediaBrowserWindow window;
    UserPreferences* prefs = UserPreferences::sharedPreferences();
    const QString other = home.makeDirectory(QStringLiteral("Elsewhere/Shots"));
    prefs->setPicturePaths({QStringLiteral("~/Pictures"), other, QStringLiteral("~/missing")});
    EXPECT_EQ(rowNames(window.treeController(0)),
              (QStringList{QStringLiteral("Pictures"), QStringLiteral("Shots")}));
    prefs->setPicturePaths({});
    EXPECT_TRUE(rowNames(window.treeController(0)).isEmpty());
    prefs->setPicturePaths({QStringLiteral("~/Pictures")});
}

TEST(MediaBrowserWindow, APreferenceChangeKeepsTheExpandedAndSelectedFoldersThatStillExist) {
    WindowHome home;
    MediaBrowserWindow window;
    window.show();
    QTreeView* outline = window.ui().picturesOutline;
    QVMBTreeController* pictures = window.treeController(0);
    // As the user does it: open the Pictures folder and click Holiday.
    outline->setFocus();
    outline->setCurrentIndex(pictures->index(0, 0));
    QTest::keyClick(outline, Qt::Key_Right);
    ASSERT_EVENTUALLY(pictures->rowCount(pictures->index(0, 0)) == 2, 5000);
    const QStringList folders = rowNames(pictures, pictures->index(0, 0));
    const QModelIndex holiday = pictures->index(static_cast<int>(folders.indexOf(QStringLiteral("Holiday"))),
                                                0, pictures->index(0, 0));
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, outline->visualRect(holiday).center());
    ASSERT_EVENTUALLY(window.photoList()->numItems() == 2, 5000);
    QTest::qWait(0);

    // Another folder goes in front of Pictures: the rows move, the place stays.
    const QString other = home.makeDirectory(QStringLiteral("Elsewhere/Shots"));
    UserPreferences::sharedPreferences()->setPicturePaths({other, QStringLiteral("~/Pictures")});
    ASSERT_EQ(rowNames(pictures), (QStringList{QStringLiteral("Shots"), QStringLiteral("Pictures")}));
    ASSERT_EVENTUALLY(window.photoList()->folder() &&
                          window.photoList()->folder()->name() == QStringLiteral("Holiday"),
                      5000);
    EXPECT_TRUE(outline->isExpanded(pictures->index(1, 0)));
    EXPECT_EQ(pictures->expandedFolderPaths(), QStringList{QStringLiteral("Pictures")});
    EXPECT_EVENTUALLY(window.photoList()->numItems() == 2, 5000);
    UserPreferences::sharedPreferences()->setPicturePaths({QStringLiteral("~/Pictures")});
}

TEST(MediaBrowserWindow, TheCommandMenuOffersThePreferences) {
    WindowHome home;
    MediaBrowserWindow window;
    ASSERT_NE(window.commandMenu(), nullptr);
    ASSERT_FALSE(window.commandMenu()->actions().isEmpty());
    EXPECT_EQ(window.commandMenu()->actions().first()->text(), QStringLiteral("Preferences…"));
    EXPECT_EQ(window.ui().menuButton->menu(), window.commandMenu());
}

TEST(MediaBrowserWindow, CtrlCommaOpensTheOnePreferencesWindowFromAnyWidgetAndOtherKeysGoOn) {
    WindowHome home;
    MediaBrowserWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    PrefsController* prefs = PrefsController::sharedPrefs();
    if (prefs->isWindowLoaded()) {
        prefs->window()->hide();
    }

    QTest::keyClick(window.ui().searchField, Qt::Key_Comma);
    EXPECT_EQ(window.ui().searchField->text(), QStringLiteral(",")); // a plain comma is typed
    EXPECT_FALSE(prefs->isWindowLoaded() && prefs->window()->isVisible());
    QTest::keyClick(window.ui().searchField, Qt::Key_Comma, Qt::ControlModifier);
    ASSERT_TRUE(prefs->isWindowLoaded());
    EXPECT_TRUE(prefs->window()->isVisible());
    EXPECT_EQ(PrefsController::sharedPrefs(), prefs);
    prefs->window()->hide();
}

} // namespace
