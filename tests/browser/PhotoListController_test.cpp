#include "browser/PhotoListController.h"
#include "iconview/GridFixture.h"
#include "iconview/IconView.h"
#include "iconview/PictureFixtures.h"
#include "iconview/ThumbnailLoader.h"
#include "model/Photo.h"
#include "platform/system/Path.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QMimeData>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

namespace {

PhotoPtr photo(const QString& caption, const QString& path, const QString& thumbPath) {
    return std::make_shared<Photo>(caption, QString(), path, thumbPath);
}

// The photo list driving a grid in a scroll area, as the browser window connects them.
struct PhotoGrid {
    PhotoGrid() {
        area.setFrameShape(QFrame::NoFrame);
        view = new IconView;
        view->setDataSource(&list);
        list.setIconView(view);
        area.setWidget(view);
        area.resize(340, 300);
        area.show();
    }
    void setFolder(std::initializer_list<PhotoPtr> photos) {
        folder = std::make_shared<MediaFolder>();
        for (const PhotoPtr& p : photos) {
            folder->addFile(p);
        }
        list.setFolder(folder);
    }
    PhotoListController list;
    QScrollArea area;
    IconView* view = nullptr;
    MediaFolderPtr folder;
};

TEST(PhotoListController, KeepsABoundedNumberOfThumbnailsDroppingTheLeastRecentlyDrawn) {
    PhotoGrid grid;
    auto folder = std::make_shared<MediaFolder>();
    const int count = 700;
    const int kept = grid.list.cacheCapacity();
    ASSERT_LT(kept, count);
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("/p/%1.jpg").arg(i);
        folder->addFile(photo(QString::number(i), path, path));
    }
    grid.list.setFolder(folder);
    const IconImagePtr first = grid.list.imageForIndex(grid.view, 0);
    const IconImagePtr second = grid.list.imageForIndex(grid.view, 1);
    // Scrolling through everything, with the first picture drawn now and then.
    for (int i = 2; i < count; ++i) {
        grid.list.imageForIndex(grid.view, i);
        if (i % (kept / 2) == 0) {
            grid.list.imageForIndex(grid.view, 0);
        }
    }
    EXPECT_EQ(grid.list.cacheCount(), kept);
    EXPECT_EQ(grid.list.imageForIndex(grid.view, 0), first);  // drawn recently: kept
    EXPECT_NE(grid.list.imageForIndex(grid.view, 1), second); // drawn long ago: dropped, made again
    EXPECT_EQ(grid.list.cacheCount(), kept);

    // A larger window has larger cells: fewer of them are kept, and the
    // pixels they can hold stay a few screens' worth.
    const auto screens = [&grid] {
        const QSize viewport = grid.area.viewport()->size() * grid.view->devicePixelRatioF();
        return double(grid.list.cacheBoundBytes()) / (4.0 * viewport.width() * viewport.height());
    };
    EXPECT_LT(screens(), 12);
    grid.area.resize(1400, 900);
    QCoreApplication::processEvents();
    grid.list.imageForIndex(grid.view, 5);
    EXPECT_LT(grid.list.cacheCount(), kept);
    EXPECT_LT(screens(), 12);
}

TEST(PhotoListController, SharesImagesByThumbnailPathUntilTheListIsRebuilt) {
    PhotoGrid grid;
    grid.setFolder(
        {photo(QStringLiteral("rose"), QStringLiteral("/p/a.jpg"), QStringLiteral("/t/same.jpg")),
         photo(QStringLiteral("rosehip"), QStringLiteral("/p/b.jpg"), QStringLiteral("/t/same.jpg")),
         photo(QStringLiteral("tulip"), QStringLiteral("/p/c.jpg"), QStringLiteral("/t/c.jpg")),
         photo(QStringLiteral("no thumb"), QStringLiteral("/p/d.jpg"), QString())});
    PhotoListController& list = grid.list;
    EXPECT_EQ(list.numberOfItemsInIconView(grid.view), 4);
    EXPECT_EQ(list.labelForIndex(grid.view, 2), QStringLiteral("tulip"));
    const IconImagePtr first = list.imageForIndex(grid.view, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, list.imageForIndex(grid.view, 1));
    EXPECT_EQ(first->path(), QStringLiteral("/t/same.jpg"));
    EXPECT_FALSE(list.imageForIndex(grid.view, 3));
    EXPECT_FALSE(list.imageForIndex(grid.view, 4));
    list.imageForIndex(grid.view, 2);
    EXPECT_EQ(list.cacheCount(), 2);

    // A new filter text: nothing cached, and the grid reloaded with the new count.
    grid.view->selectAll();
    NotificationCounter reloaded(IconViewSelectionChanged, grid.view);
    list.setFilter(QStringLiteral("rose"));
    EXPECT_EQ(list.cacheCount(), 0);
    EXPECT_EQ(reloaded.count, 1);
    EXPECT_TRUE(grid.view->selection().empty());
    EXPECT_EQ(grid.view->count(), 2);
    EXPECT_NE(list.imageForIndex(grid.view, 0), first);
}

TEST(PhotoListController, DragsThePictureFilesInIndexOrder) {
    PhotoGrid grid;
    const QString odd = Path::fromNative(QByteArray("/library/Originals/caf\xe9 1.jpg"));
    grid.setFolder({photo(QStringLiteral("a"), QStringLiteral("/library/Originals/a.jpg"),
                          QStringLiteral("/library/Thumbs/a.jpg")),
                    photo(QStringLiteral("b"), QStringLiteral("/library/Originals/b.jpg"),
                          QStringLiteral("/library/Thumbs/b.jpg")),
                    photo(QStringLiteral("c"), odd, QStringLiteral("/library/Thumbs/c.jpg"))});
    QMimeData pasteboard;
    EXPECT_TRUE(grid.list.writeRowsWithIndexes(grid.view, {2, 0}, &pasteboard));
    EXPECT_EQ(pasteboard.formats(), QStringList{QStringLiteral("text/uri-list")});
    ASSERT_EQ(pasteboard.urls().size(), 2);
    EXPECT_EQ(Path::localPath(pasteboard.urls()[0]), QStringLiteral("/library/Originals/a.jpg"));
    EXPECT_EQ(Path::localPath(pasteboard.urls()[1]), odd);
    EXPECT_EQ(pasteboard.urls()[1].toEncoded(), QByteArray("file:///library/Originals/caf%E9%201.jpg"));

    // Pictures a catalogue lists on a share or a Windows drive that is not
    // mounted here are no files: not dragged, and drawn as placeholders.
    grid.setFolder(
        {photo(QStringLiteral("n"), QStringLiteral("smb://nas/photos/n.jpg"),
               QStringLiteral("smb://nas/photos/n.jpg")),
         photo(QStringLiteral("w"), QStringLiteral("C:/Users/me/w.jpg"), QStringLiteral("C:/Users/me/w.jpg")),
         photo(QStringLiteral("a"), QStringLiteral("/library/Originals/a.jpg"),
               QStringLiteral("/library/Thumbs/a.jpg"))});
    QMimeData offline;
    EXPECT_TRUE(grid.list.writeRowsWithIndexes(grid.view, {0, 1, 2}, &offline));
    ASSERT_EQ(offline.urls().size(), 1);
    EXPECT_EQ(Path::localPath(offline.urls()[0]), QStringLiteral("/library/Originals/a.jpg"));
    EXPECT_EQ(grid.list.imageForIndex(grid.view, 0), nullptr);
    EXPECT_EQ(grid.list.imageForIndex(grid.view, 1), nullptr);

    QMimeData empty;
    EXPECT_TRUE(grid.list.writeRowsWithIndexes(grid.view, {}, &empty));
    EXPECT_TRUE(empty.hasFormat(QStringLiteral("text/uri-list")));
    EXPECT_TRUE(empty.urls().isEmpty());
}

TEST(PhotoListController, PicturesNeverPlay) {
    PhotoGrid grid;
    grid.setFolder({photo(QStringLiteral("a"), QStringLiteral("/p/a.jpg"), QStringLiteral("/p/a.jpg"))});
    grid.view->selectAll();
    NotificationCounter playing(QVMBListCtrlIsPlayingChanged, &grid.list);
    EXPECT_FALSE(grid.list.canPlay());
    grid.list.togglePlay();
    EXPECT_FALSE(grid.list.isPlaying());
    EXPECT_EQ(playing.count, 0);
}

TEST(PhotoListController, ShowsUprightThumbnailsOfGeneratedPictures) {
    TempHome home;
    const QString wide = home.writeFile(QStringLiteral("Pictures/wide.jpg"), jpegOf(halves(QSize(600, 400))));
    const QString turned = home.writeFile(QStringLiteral("Pictures/turned.jpg"),
                                          withOrientation(jpegOf(halves(QSize(600, 400))), 6));
    PhotoGrid grid;
    grid.setFolder({Photo::photoFromFile(wide), Photo::photoFromFile(turned)});
    ASSERT_EQ(grid.list.numItems(), 2);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid.area));
    const IconImagePtr turnedImage = grid.list.imageForIndex(grid.view, 1);
    ASSERT_EVENTUALLY(!turnedImage->pixels().isNull(), 5000);

    const QImage pixels = turnedImage->pixels();
    const NSRect fitted = grid.view->scaledImageRect(1);
    EXPECT_NEAR(pixels.width(), fitted.size.width, 1.0);
    EXPECT_NEAR(pixels.height(), fitted.size.height, 1.0);
    EXPECT_GT(pixels.height(), pixels.width());
    EXPECT_TRUE(isRed(pixels.pixel(pixels.width() / 2, 3)));
    EXPECT_TRUE(isBlue(pixels.pixel(pixels.width() / 2, pixels.height() - 4)));
    EXPECT_EQ(grid.list.labelForIndex(grid.view, 1), QStringLiteral("turned"));

    // The drag carries the picture file; the cache holds no more than the cells' pixels.
    QTest::mouseClick(grid.view, Qt::LeftButton, {}, QPoint(grid.view->imageRect(1).origin.x + 50, 50));
    QMimeData pasteboard;
    grid.list.writeRowsWithIndexes(grid.view, grid.view->selection(), &pasteboard);
    EXPECT_EQ(pasteboard.urls(), QList<QUrl>{Path::fileUrl(turned)});
    const int side = grid.view->imageSize();
    ASSERT_EVENTUALLY(!grid.list.imageForIndex(grid.view, 0)->pixels().isNull(), 5000);
    EXPECT_LE(grid.list.cacheBytes(), 2 * 4 * side * side);
}

} // namespace
