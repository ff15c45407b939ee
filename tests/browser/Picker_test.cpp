// The picking API as a host uses it: the modal picker, picker mode in the
// floating window and in the embedded contents, and the two side by side.
#include "browser/BrowserController.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "browser/PhotoListController.h"
#include "browser/QVMBTreeController.h"
#include "browser/SegmentedControl.h"
#include "iconview/IconView.h"
#include "platform/system/NotificationCenter.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"
#include "support/Wait.h"
#include "ui_MediaBrowser.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVMediaBrowser/Notifications.h>
#include <QVMediaBrowser/QVMediaBrowser.h>
#include <QVMediaBrowser/QVMediaBrowserWidget.h>
#include <QVMediaBrowser/QVMediaPicker.h>

#include <functional>
#include <gtest/gtest.h>

using MediaFixtures::Fixture;

namespace {

class PickerHome : public TempHome {
public:
    PickerHome() {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(makeDirectory(QStringLiteral("Pictures/Holiday")) + QStringLiteral("/Beach.png"));
        picture.save(file(QStringLiteral("Pictures/Holiday/Harbour.jpg")));
        MediaFixtures::copy(Fixture::TaggedMp3, file(QStringLiteral("Music/Band/Morning.mp3")));
        makeDirectory(QStringLiteral("Movies"));
    }
};

// Selects the folder at names (below the kind's first root row) in the
// contents' outline and waits for its list to fill.
void openFolder(MediaBrowserWindow& contents, int kind, const QStringList& names, int items) {
    QVMBTreeController* tree = contents.treeController(kind);
    QTreeView* outlines[] = {contents.ui().picturesOutline, contents.ui().musicOutline,
                             contents.ui().moviesOutline};
    QModelIndex parent;
    for (const QString& name : names) {
        QModelIndex found;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                for (int row = 0; row < tree->rowCount(parent); ++row) {
                    if (tree->index(row, 0, parent).data().toString() == name) {
                        found = tree->index(row, 0, parent);
                        return true;
                    }
                }
                return false;
            },
            5000))
            << "no folder " << name.toStdString();
        outlines[kind]->expand(found);
        parent = found;
    }
    outlines[kind]->setCurrentIndex(parent);
    QVMBListController* lists[] = {contents.photoList(), contents.musicList(), nullptr};
    ASSERT_EVENTUALLY(lists[kind]->numItems() == items, 5000);
}

// A double-click as Qt delivers one to a widget: press, release, then the
// second press followed by its double-click event, and the release.
void doubleClick(QWidget* widget, QPoint point) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QTest::mousePress(widget, Qt::LeftButton, {}, point);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
}

// Runs step once the modal picker is on screen, while getOpenMediaUrls() waits.
void whenPickerShows(std::function<void(QVMediaPicker&, MediaBrowserWindow&)> step) {
    QTimer::singleShot(0, [step] {
        QVMediaPicker* picker = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                picker = qobject_cast<QVMediaPicker*>(QApplication::activeModalWidget());
                return picker != nullptr && picker->isVisible();
            },
            5000));
        auto* contents = picker->findChild<MediaBrowserWindow*>();
        ASSERT_NE(contents, nullptr);
        step(*picker, *contents);
        // Whatever the step did, the dialog must not stay open.
        if (picker->isVisible()) {
            ADD_FAILURE() << "the picker stayed open";
            picker->reject();
        }
    });
}

TEST(Picker, TheModalPickerAnswersThePictureChosenWithTheKeyboardAndNothingOnCancel) {
    PickerHome home;
    whenPickerShows([](QVMediaPicker& picker, MediaBrowserWindow& contents) {
        // Pictures only: one tab.
        EXPECT_EQ(contents.ui().buttons->segmentCount(), 1);
        EXPECT_EQ(picker.windowTitle(), QStringLiteral("Add a Photo"));
        openFolder(contents, 0, {QStringLiteral("Pictures"), QStringLiteral("Holiday")}, 2);
        // Enter with nothing selected chooses nothing; the arrow selects the second picture.
        QTest::keyClick(contents.photoView(), Qt::Key_Return);
        EXPECT_TRUE(picker.isVisible());
        QTest::keyClick(contents.photoView(), Qt::Key_Right);
        QTest::keyClick(contents.photoView(), Qt::Key_Return);
    });
    const QList<QUrl> urls = QVMediaPicker::getOpenMediaUrls(nullptr, QStringLiteral("Add a Photo"),
                                                             {QStringLiteral("image/*")}, false);
    ASSERT_EQ(urls.size(), 1);
    EXPECT_TRUE(urls.first().isLocalFile());
    EXPECT_EQ(urls.first().toLocalFile(), home.file(QStringLiteral("Pictures/Holiday/Harbour.jpg")));

    whenPickerShows([](QVMediaPicker&, MediaBrowserWindow& contents) {
        openFolder(contents, 0, {QStringLiteral("Pictures"), QStringLiteral("Holiday")}, 2);
        QTest::keyClick(contents.photoView(), Qt::Key_Right);
        QTest::keyClick(contents.photoView(), Qt::Key_Escape);
    });
    EXPECT_TRUE(QVMediaPicker::getOpenMediaUrl(nullptr, QString(), {QStringLiteral("pictures")}).isEmpty());
}

TEST(Picker, OnlyItemsOfTheWantedTypesAndOnlyOneUnlessSeveralAreAllowedCanBeChosen) {
    PickerHome home;
    QVMediaPicker picker;
    ASSERT_FALSE(picker.setMediaTypes({QStringLiteral("text/plain")}));
    ASSERT_FALSE(picker.setMediaTypes({QStringLiteral("image/png"), QStringLiteral("image/<script>")}));
    ASSERT_TRUE(picker.setMediaTypes({QStringLiteral("image/png")}));
    picker.setAcceptLabel(QStringLiteral("Insert"));
    picker.show();
    auto* contents = picker.findChild<MediaBrowserWindow*>();
    ASSERT_NE(contents, nullptr);
    QPushButton* insert = nullptr;
    for (QPushButton* button : picker.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Insert")) {
            insert = button;
        }
    }
    ASSERT_NE(insert, nullptr);
    openFolder(*contents, 0, {QStringLiteral("Pictures"), QStringLiteral("Holiday")}, 2);
    IconView* grid = contents->photoView();
    const auto nameAt = [&](int position) {
        return contents->photoList()->itemAt(position)->name();
    };
    const int jpeg = nameAt(0) == QStringLiteral("Harbour") ? 0 : 1;

    // The JPEG is not a PNG: selected, it cannot be chosen by any means.
    grid->selection() = {jpeg};
    NotificationCenter::defaultCenter().postNotification(IconViewSelectionChanged, grid);
    EXPECT_FALSE(insert->isEnabled());
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_TRUE(picker.isVisible());
    // Both selected: one item only.
    grid->selection() = {0, 1};
    NotificationCenter::defaultCenter().postNotification(IconViewSelectionChanged, grid);
    EXPECT_FALSE(insert->isEnabled());

    QSignalSpy chosen(&picker, &QVMediaPicker::itemsChosen);
    grid->selection() = {1 - jpeg};
    NotificationCenter::defaultCenter().postNotification(IconViewSelectionChanged, grid);
    ASSERT_TRUE(insert->isEnabled());
    QTest::mouseClick(insert, Qt::LeftButton);
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    ASSERT_EQ(chosen.size(), 1);
    const auto items = chosen.first().first().value<QList<QVMediaItemInfo>>();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first().kind, QVMediaItemInfo::Picture);
    EXPECT_EQ(items.first().name, QStringLiteral("Beach"));
    EXPECT_EQ(items.first().pixelSize, QSize(64, 48));
    EXPECT_EQ(items.first().mimeType, QStringLiteral("image/png"));
    EXPECT_EQ(picker.chosenUrls(), QList<QUrl>{items.first().url});
}

TEST(Picker, TheEmbeddedContentsAndTheFloatingWindowPickSideBySideAndLeaveTheHostsKeysAlone) {
    PickerHome home;
    // A host window: its own search field with its own Find shortcut, and the
    // browser's contents as a side panel, in picker mode.
    QMainWindow host;
    auto* central = new QWidget(&host);
    auto* hostField = new QLineEdit(central);
    auto* panel = new QVMediaBrowserWidget(central, QVMediaBrowser::Pictures | QVMediaBrowser::Music);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(hostField);
    layout->addWidget(panel);
    host.setCentralWidget(central);
    auto* find = new QAction(&host);
    find->setShortcut(QKeySequence::Find);
    host.addAction(find);
    QSignalSpy hostFinds(find, &QAction::triggered);
    panel->setPickerMode(true);
    host.show();
    QApplication::setActiveWindow(&host);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));

    auto* contents = panel->findChild<MediaBrowserWindow*>();
    ASSERT_NE(contents, nullptr);
    EXPECT_FALSE(contents->isWindow());
    hostField->setFocus();
    QTest::keyClick(hostField, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(hostFinds.size(), 1);
    EXPECT_FALSE(contents->ui().searchField->hasFocus());

    // The floating window beside it, browsing on its own, not picking.
    QVMediaBrowser* browser = QVMediaBrowser::sharedBrowser();
    browser->showWindow();
    auto* floating = static_cast<MediaBrowserWindow*>(browser->window());
    QSignalSpy floatingChose(browser, &QVMediaBrowser::itemsChosen);
    QSignalSpy panelChose(panel, &QVMediaBrowserWidget::itemsChosen);
    openFolder(*floating, 0, {QStringLiteral("Pictures"), QStringLiteral("Holiday")}, 2);
    openFolder(*contents, 1, {QStringLiteral("Music"), QStringLiteral("Band")}, 1);
    EXPECT_EQ(floating->photoList()->numItems(), 2);

    // A double-click on the track chooses it, with what the browser knows of it.
    contents->ui().buttons->setSelectedSegment(1);
    contents->browserController()->tabClick();
    MusicTableView* table = contents->musicTable();
    const QPoint row = table->visualRect(contents->musicList()->index(0, 0)).center();
    doubleClick(table->viewport(), row);
    ASSERT_EQ(panelChose.size(), 1);
    const auto items = panelChose.first().first().value<QList<QVMediaItemInfo>>();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first().kind, QVMediaItemInfo::Track);
    EXPECT_EQ(items.first().name, QStringLiteral("Morning Song"));
    EXPECT_EQ(items.first().artist, QStringLiteral("Zoë Keating"));
    EXPECT_EQ(items.first().durationSeconds, 2);
    EXPECT_EQ(items.first().url.toLocalFile(), home.file(QStringLiteral("Music/Band/Morning.mp3")));
    // It did not play: picking is all a double-click does there.
    EXPECT_FALSE(contents->musicList()->isPlaying());
    EXPECT_TRUE(floatingChose.isEmpty());

    // The floating window in picker mode: Enter on its grid chooses there.
    browser->setPickerMode(true);
    floating->photoView()->setFocus();
    QTest::keyClick(floating->photoView(), Qt::Key_Right);
    QTest::keyClick(floating->photoView(), Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(floatingChose.size(), 1);
    EXPECT_EQ(floatingChose.first().first().value<QList<QVMediaItemInfo>>().size(), 1);
    EXPECT_EQ(panelChose.size(), 1);
    browser->setPickerMode(false);
    browser->window()->hide();
}

} // namespace
