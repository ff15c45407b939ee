#include "platform/media/ThumbnailCache.h"
#include "platform/system/NotificationCenter.h"
#include "prefs/PrefsController.h"
#include "prefs/PrefsOutlineModel.h"
#include "prefs/UserPreferences.h"
#include "support/TempHome.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

// Every test starts from known stored lists and a freshly shown window.
class PrefsControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefs = UserPreferences::sharedPreferences();
        prefs->setPicturePaths({QStringLiteral("~/Pictures")});
        prefs->setMusicPaths({QStringLiteral("~/Music"), QStringLiteral("/srv/music")});
        prefs->setMoviePaths({});
        controller = PrefsController::sharedPrefs();
        controller->showWindow();
        outline = controller->outlineView();
        model = static_cast<PrefsOutlineModel*>(outline->model());
    }
    void TearDown() override { controller->window()->hide(); }

    QStringList names(const QVTree* category) const { return controller->getPathsForNode(*category); }
    void select(const QVTree* node) {
        outline->selectionModel()->setCurrentIndex(model->indexOf(node), QItemSelectionModel::ClearAndSelect |
                                                                             QItemSelectionModel::Rows);
    }

    TempHome home;
    UserPreferences* prefs = nullptr;
    PrefsController* controller = nullptr;
    QTreeView* outline = nullptr;
    PrefsOutlineModel* model = nullptr;
};

TEST_F(PrefsControllerTest, ShowsTheThreeCategoriesWithTheStoredPathsAsTyped) {
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("Pictures"));
    EXPECT_EQ(model->index(1, 0).data().toString(), QStringLiteral("Music"));
    EXPECT_EQ(model->index(2, 0).data().toString(), QStringLiteral("Movies"));
    EXPECT_EQ(model->index(0, 0, model->index(1, 0)).data().toString(), QStringLiteral("~/Music"));
    EXPECT_TRUE(outline->isExpanded(model->index(1, 0)));
    // A category without paths shows no disclosure triangle; categories are not editable.
    EXPECT_FALSE(model->hasChildren(model->index(2, 0)));
    EXPECT_FALSE(model->flags(model->index(0, 0)).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(model->flags(model->index(0, 0, model->index(0, 0))).testFlag(Qt::ItemIsEditable));
}

TEST_F(PrefsControllerTest, AddedFoldersGoToTheSelectedCategoryAbbreviatedToTheHome) {
    const QString inside = home.makeDirectory(QStringLiteral("Photos/2026"));
    controller->openPanelDidEnd({inside}, 1); // nothing selected: Pictures
    EXPECT_EQ(names(controller->pictures()),
              (QStringList{QStringLiteral("~/Pictures"), QStringLiteral("~/Photos/2026")}));

    select(controller->music());
    controller->openPanelDidEnd({QStringLiteral("/opt/tunes")}, 1);
    EXPECT_EQ(names(controller->music()).last(), QStringLiteral("/opt/tunes"));

    // From a path row, the folder joins that row's category; the first one makes it expandable and expanded.
    select(controller->movies());
    controller->openPanelDidEnd({QStringLiteral("/films")}, 1);
    select(controller->movies()->subTrees().front().get());
    controller->openPanelDidEnd({QStringLiteral("/films")}, 1); // twice is listed twice
    EXPECT_EQ(names(controller->movies()), (QStringList{QStringLiteral("/films"), QStringLiteral("/films")}));
    EXPECT_TRUE(outline->isExpanded(model->indexOf(controller->movies())));

    controller->openPanelDidEnd({QStringLiteral("/ignored")}, 0); // cancelled chooser
    EXPECT_EQ(names(controller->movies()).size(), 2);
    EXPECT_TRUE(prefs->moviePaths().isEmpty()); // nothing stored before OK
}

TEST_F(PrefsControllerTest, TheDirectoryChooserIsWindowModalAndItsChoiceIsAdded) {
    const QString chosen = home.makeDirectory(QStringLiteral("Chosen"));
    select(controller->music());
    controller->addClick();
    QFileDialog* panel = controller->openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    EXPECT_EQ(panel->fileMode(), QFileDialog::Directory);
    panel->setDirectory(home.path());
    panel->selectFile(chosen);
    QMetaObject::invokeMethod(panel, "accept"); // as the Open button does
    EXPECT_EQ(names(controller->music()).last(), QStringLiteral("~/Chosen"));
}

TEST_F(PrefsControllerTest, DeleteIsEnabledOnlyOnPathRowsAndSelectsTheRowAbove) {
    QPushButton* remove = controller->deleteButton();
    select(controller->music());
    EXPECT_FALSE(remove->isEnabled());
    controller->deleteClick(); // a category: nothing happens
    EXPECT_EQ(names(controller->music()).size(), 2);

    select(controller->music()->subTrees().at(1).get());
    EXPECT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(names(controller->music()), QStringList{QStringLiteral("~/Music")});
    const QModelIndex above = outline->selectionModel()->selectedRows().value(0);
    EXPECT_EQ(above.data().toString(), QStringLiteral("~/Music"));
    EXPECT_TRUE(remove->isEnabled());

    controller->deleteClick(); // the only path: its category becomes selected
    EXPECT_TRUE(names(controller->music()).isEmpty());
    EXPECT_EQ(outline->selectionModel()->selectedRows().value(0).data().toString(), QStringLiteral("Music"));
    EXPECT_FALSE(remove->isEnabled());
}

TEST_F(PrefsControllerTest, InPlaceEditsAcceptOnlyExistingDirectoriesAsTyped) {
    home.makeDirectory(QStringLiteral("Music"));
    const QString file = home.writeFile(QStringLiteral("notes.txt"), "x");
    const QModelIndex path = model->index(1, 0, model->index(1, 0)); // "/srv/music"

    EXPECT_TRUE(model->setData(path, QStringLiteral("~/Music"), Qt::EditRole));
    EXPECT_EQ(path.data().toString(), QStringLiteral("~/Music"));
    EXPECT_FALSE(model->setData(path, file, Qt::EditRole));
    EXPECT_FALSE(model->setData(path, QStringLiteral("~/does/not/exist"), Qt::EditRole));
    EXPECT_EQ(path.data().toString(), QStringLiteral("~/Music"));
}

TEST_F(PrefsControllerTest, NetworkSharesJoinTheListsBesideFoldersAndTheServersSwitchIsStoredWithOk) {
    select(controller->music());
    EXPECT_TRUE(controller->addLocation(QStringLiteral(" smb://nas.local/media/Music ")));
    EXPECT_FALSE(controller->addLocation(QStringLiteral("smb://")));                 // no machine named
    EXPECT_FALSE(controller->addLocation(QStringLiteral("http://nas.local/music"))); // no share
    EXPECT_EQ(names(controller->music()),
              (QStringList{QStringLiteral("~/Music"), QStringLiteral("/srv/music"),
                           QStringLiteral("smb://nas.local/media/Music")}));
    // Typed in place like a folder's path.
    const QModelIndex path = model->index(1, 0, model->index(1, 0));
    EXPECT_TRUE(model->setData(path, QStringLiteral("sftp://me@host/home/me/Music"), Qt::EditRole));

    ASSERT_TRUE(controller->mediaServersCheck()->isChecked()); // on unless the user says otherwise
    controller->mediaServersCheck()->setChecked(false);
    controller->okClick();
    EXPECT_EQ(prefs->musicPaths(),
              (QStringList{QStringLiteral("~/Music"), QStringLiteral("sftp://me@host/home/me/Music"),
                           QStringLiteral("smb://nas.local/media/Music")}));
    EXPECT_FALSE(prefs->mediaServersEnabled());
    prefs->synchronizedPrefs(); // as another running copy reads the file
    EXPECT_FALSE(prefs->mediaServersEnabled());
    controller->showWindow();
    EXPECT_FALSE(controller->mediaServersCheck()->isChecked());
    prefs->setMediaServersEnabled(true);
}

TEST_F(PrefsControllerTest, OkStoresAllThreeListsAndCancelForgetsTheEdits) {
    controller->openPanelDidEnd({QStringLiteral("/edited")}, 1);
    controller->cancelClick();
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(prefs->picturePaths(), QStringList{QStringLiteral("~/Pictures")});
    controller->showWindow(); // shows the stored lists again
    EXPECT_EQ(names(controller->pictures()), QStringList{QStringLiteral("~/Pictures")});

    int changes = 0;
    NotificationCenter::defaultCenter().addObserver(&changes, UserPreferencesChanged, nullptr,
                                                    [&](const Notification&) { ++changes; });
    controller->openPanelDidEnd({QStringLiteral("/kept")}, 1);
    controller->okClick();
    NotificationCenter::defaultCenter().removeObserver(&changes);
    EXPECT_EQ(changes, 3); // one per list; the broadcast comes later (and not at all without a bus)
    EXPECT_EQ(prefs->picturePaths(), (QStringList{QStringLiteral("~/Pictures"), QStringLiteral("/kept")}));
    EXPECT_EQ(prefs->musicPaths(), (QStringList{QStringLiteral("~/Music"), QStringLiteral("/srv/music")}));
    EXPECT_TRUE(prefs->moviePaths().isEmpty());
    EXPECT_FALSE(controller->window()->isVisible());
}

TEST_F(PrefsControllerTest, ShowingAnOpenWindowAgainReloadsFromTheStore) {
    controller->openPanelDidEnd({QStringLiteral("/unsaved")}, 1);
    controller->showWindow();
    EXPECT_EQ(names(controller->pictures()), QStringList{QStringLiteral("~/Pictures")});
    EXPECT_EQ(PrefsController::sharedPrefs(), controller);
}

// The thumbnail-cache switch: unticked and confirmed, the grid stops writing
// the desktop's cache at once, the choice is stored in the preferences file
// (so a re-read keeps it), and the window shows it when opened again.
TEST_F(PrefsControllerTest, TheThumbnailCacheSwitchIsStoredAndTakesEffect) {
    auto* box = controller->window()->findChild<QCheckBox*>(QStringLiteral("writeThumbnailCache"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(ThumbnailCache::writingEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    controller->okClick();
    EXPECT_FALSE(ThumbnailCache::writingEnabled());
    prefs->synchronizedPrefs(); // read back from the file, as another copy would
    EXPECT_FALSE(prefs->writesThumbnailCache());
    EXPECT_FALSE(ThumbnailCache::writingEnabled());
    controller->showWindow();
    EXPECT_FALSE(box->isChecked());

    QTest::mouseClick(box, Qt::LeftButton);
    controller->okClick();
    EXPECT_TRUE(ThumbnailCache::writingEnabled());
}

} // namespace
