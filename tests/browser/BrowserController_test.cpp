#include "RecordingList.h"
#include "browser/BrowserController.h"
#include "browser/ImageButton.h"
#include "browser/QVMediaBrowser.h"
#include "browser/SegmentedControl.h"
#include "platform/system/NotificationCenter.h"

#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Bars {
    QWidget window;
    QStackedWidget* tabView = new QStackedWidget(&window);
    SegmentedControl* buttons = new SegmentedControl(&window);
    QLineEdit* search = new QLineEdit(&window);
    ImageButton* play = new ImageButton(&window);
    QLabel* count = new QLabel(&window);
    RecordingList photos;
    RecordingList music;
    RecordingList movies;
    std::unique_ptr<BrowserController> controller;

    explicit Bars(int typeMask, int designedWidth = 60) {
        for (int i = 0; i < 3; ++i) {
            tabView->addWidget(new QWidget());
        }
        buttons->setSegmentCount(3); // as designed in the window
        for (int i = 0; i < 3; ++i) {
            buttons->setWidth(i, designedWidth);
        }
        QVMediaBrowser::sharedBrowser()->setTypeMask(typeMask);
        controller = std::make_unique<BrowserController>(
            BrowserController::Outlets{tabView, buttons, search, play, count, &photos, &music, &movies});
        controller->awakeFromNib();
        QVMediaBrowser::sharedBrowser()->setTypeMask(QVMediaBrowser::AllTypes);
    }

    void click(int segment) {
        buttons->setSelectedSegment(segment);
        controller->tabClick();
    }
};

TEST(BrowserController, TheTabBarOffersTheKindsOfTheTypeMaskInTheDesignedWidth) {
    Bars picturesAndMovies(5);
    ASSERT_EQ(picturesAndMovies.buttons->segmentCount(), 2);
    EXPECT_EQ(picturesAndMovies.buttons->label(0), QStringLiteral("Pictures"));
    EXPECT_EQ(picturesAndMovies.buttons->tag(0), 0);
    EXPECT_EQ(picturesAndMovies.buttons->label(1), QStringLiteral("Movies"));
    EXPECT_EQ(picturesAndMovies.buttons->tag(1), 2);
    EXPECT_EQ(picturesAndMovies.buttons->width(1), 90);
    picturesAndMovies.click(1);
    EXPECT_EQ(picturesAndMovies.tabView->currentIndex(), 2);
    EXPECT_EQ(picturesAndMovies.controller->currentList(), &picturesAndMovies.movies);

    Bars musicOnly(2, 61);
    ASSERT_EQ(musicOnly.buttons->segmentCount(), 1);
    EXPECT_EQ(musicOnly.buttons->width(0), 183);
    EXPECT_EQ(musicOnly.buttons->tag(0), 1);
}

TEST(BrowserController, AnEmptyTypeMaskGivesAnEmptyTabBarAndAQuietWindow) {
    Bars none(0);
    EXPECT_EQ(none.buttons->segmentCount(), 0);
    EXPECT_EQ(none.controller->selectedTag(), -1);
    EXPECT_EQ(none.controller->currentList(), nullptr);
    none.controller->numItemsChanged({});
    EXPECT_EQ(none.count->text(), QStringLiteral("0 items"));
    none.controller->updatePlayButton();
    EXPECT_EQ(none.play->image(), none.controller->icons().value(QStringLiteral("disabled")));
    none.controller->playButtonClick(); // nothing to play: nothing happens
}

TEST(BrowserController, TheCountAndThePlayButtonFollowTheCurrentList) {
    Bars bars(7);
    bars.click(1); // music
    auto folder = std::make_shared<MediaFolder>();
    struct Item : MediaItem {
        QString name() override { return QStringLiteral("x"); }
        bool matchesFilter(const QString&) override { return true; }
    };
    folder->addFile(std::make_shared<Item>());
    bars.music.setFolder(folder);
    EXPECT_EQ(bars.count->text(), QStringLiteral("1 item"));
    folder->addFile(std::make_shared<Item>());
    EXPECT_EQ(bars.count->text(), QStringLiteral("2 items"));
    bars.photos.setFolder(folder); // another list's news does not change what is shown...
    folder->addFile(std::make_shared<Item>());
    EXPECT_EQ(bars.count->text(), QStringLiteral("3 items")); // ...beyond the current list's own count

    const auto& icons = bars.controller->icons();
    EXPECT_EQ(bars.play->image(), icons.value(QStringLiteral("disabled")));
    bars.music.playable = true;
    bars.controller->canPlayChanged({});
    EXPECT_EQ(bars.play->image(), icons.value(QStringLiteral("play")));
    EXPECT_EQ(bars.play->alternateImage(), icons.value(QStringLiteral("playAlt")));
    QTest::mouseClick(bars.play, Qt::LeftButton);
    EXPECT_TRUE(bars.music.playing);
    EXPECT_EQ(bars.play->image(), icons.value(QStringLiteral("stop")));
    EXPECT_EQ(bars.play->alternateImage(), icons.value(QStringLiteral("stopAlt")));
    EXPECT_FALSE(icons.value(QStringLiteral("stop")).isNull());
}

TEST(BrowserController, SwitchingTabsStopsPlaybackAndClearsEveryFilter) {
    Bars bars(7);
    bars.click(1);
    EXPECT_FALSE(bars.play->isHidden());
    bars.search->setText(QStringLiteral("  night "));
    EXPECT_EQ(bars.photos.filter(), QStringLiteral("night"));
    EXPECT_EQ(bars.movies.filter(), QStringLiteral("night"));
    bars.music.playable = true;
    bars.music.play();
    ASSERT_TRUE(bars.music.isPlaying());

    bars.click(0);
    EXPECT_FALSE(bars.music.isPlaying());
    EXPECT_EQ(bars.music.stops, 1);
    EXPECT_TRUE(bars.search->text().isEmpty());
    EXPECT_TRUE(bars.photos.filter().isEmpty());
    EXPECT_TRUE(bars.music.filter().isEmpty());
    EXPECT_TRUE(bars.movies.filter().isEmpty());
    EXPECT_TRUE(bars.play->isHidden()); // pictures cannot be played
    EXPECT_EQ(bars.tabView->currentIndex(), 0);
}

} // namespace
