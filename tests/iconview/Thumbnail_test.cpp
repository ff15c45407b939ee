#include "GridFixture.h"
#include "PictureFixtures.h"
#include "iconview/ThumbnailDecoder.h"
#include "iconview/ThumbnailLoader.h"
#include "platform/media/ThumbnailCache.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(ThumbnailDecoder, DecodesUprightStraightToTheBox) {
    TempHome home;
    const QString plain = home.writeFile(QStringLiteral("plain.jpg"), jpegOf(halves(QSize(120, 80))));
    const QString turned =
        home.writeFile(QStringLiteral("turned.jpg"), withOrientation(jpegOf(halves(QSize(120, 80))), 6));

    EXPECT_EQ(ThumbnailDecoder::uprightSize(plain), QSize(120, 80));
    const QImage flat = ThumbnailDecoder::decode(plain, QSize(60, 40), QSize(120, 80));
    EXPECT_EQ(flat.size(), QSize(60, 40));
    EXPECT_TRUE(isRed(flat.pixel(5, 20)));
    EXPECT_TRUE(isBlue(flat.pixel(55, 20)));

    // Shown upright the left half is on top.
    EXPECT_EQ(ThumbnailDecoder::uprightSize(turned), QSize(80, 120));
    const QImage upright = ThumbnailDecoder::decode(turned, QSize(40, 60), QSize(80, 120));
    EXPECT_EQ(upright.size(), QSize(40, 60));
    EXPECT_TRUE(isRed(upright.pixel(20, 5)));
    EXPECT_TRUE(isBlue(upright.pixel(20, 55)));

    const QString text = home.writeFile(QStringLiteral("notes.jpg"), "not a picture");
    EXPECT_TRUE(ThumbnailDecoder::uprightSize(text).isEmpty());
    EXPECT_TRUE(ThumbnailDecoder::decode(text, QSize(40, 40), QSize()).isNull());
    EXPECT_TRUE(
        ThumbnailDecoder::decode(home.file(QStringLiteral("missing.jpg")), QSize(40, 40), QSize()).isNull());
}

class SharedThumbnailCache : public ::testing::Test {
protected:
    void SetUp() override {
        picture = home.writeFile(QStringLiteral("My Pictures/a b!.jpg"), jpegOf(halves(QSize(1200, 800))));
    }
    // Writes a green thumbnail of the picture into the cache's size class.
    void writeThumbnail(const char* sizeClass, QSize size, qint64 mtime) {
        QImage thumbnail(size, QImage::Format_RGB32);
        thumbnail.fill(Qt::green);
        thumbnail.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(ThumbnailCache::fileUri(picture)));
        thumbnail.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
        const QString md5 = QString::fromLatin1(
            QCryptographicHash::hash(ThumbnailCache::fileUri(picture), QCryptographicHash::Md5).toHex());
        const QString dir =
            home.makeDirectory(QStringLiteral(".cache/thumbnails/") + QLatin1String(sizeClass));
        ASSERT_TRUE(thumbnail.save(dir + QLatin1Char('/') + md5 + QStringLiteral(".png"), "PNG"));
    }
    qint64 mtime() const {
        struct stat info;
        ::stat(QFile::encodeName(picture).constData(), &info);
        return info.st_mtime;
    }
    TempHome home;
    QString picture;
};

TEST_F(SharedThumbnailCache, NamesThumbnailsByTheEscapedFileUri) {
    EXPECT_EQ(ThumbnailCache::fileUri(QStringLiteral("/tmp/a b!/ü#.jpg")),
              QByteArray("file:///tmp/a%20b!/%C3%BC%23.jpg"));
}

TEST_F(SharedThumbnailCache, AFreshLargeEnoughThumbnailReplacesDecoding) {
    writeThumbnail("large", QSize(256, 171), mtime());
    EXPECT_TRUE(isGreen(ThumbnailDecoder::decode(picture, QSize(150, 100), QSize(1200, 800)).pixel(75, 50)));
    // Too small for the box: the picture itself.
    EXPECT_TRUE(isBlue(ThumbnailDecoder::decode(picture, QSize(300, 200), QSize(1200, 800)).pixel(250, 50)));
}

TEST_F(SharedThumbnailCache, AStaleThumbnailIsIgnored) {
    writeThumbnail("normal", QSize(128, 85), mtime() - 10);
    writeThumbnail("large", QSize(256, 171), mtime() + 1);
    EXPECT_TRUE(
        ThumbnailCache::find(picture, *ThumbnailCache::stampOf(picture), QSize(90, 60), QSize(1200, 800))
            .isNull());
    EXPECT_TRUE(isBlue(ThumbnailDecoder::decode(picture, QSize(90, 60), QSize(1200, 800)).pixel(80, 30)));
    writeThumbnail("normal", QSize(128, 85), mtime());
    EXPECT_TRUE(isGreen(ThumbnailDecoder::decode(picture, QSize(90, 60), QSize(1200, 800)).pixel(80, 30)));
}

// Grid cells showing pictures from files in a temporary home.
class ThumbnailPipeline : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 12; ++i) {
            const QString path =
                home.writeFile(QStringLiteral("p%1.jpg").arg(i), jpegOf(halves(QSize(400 + 10 * i, 300))));
            images.push_back(IconImage::referencingFile(path));
        }
    }
    void TearDown() override { ThumbnailLoader::instance()->setMaxThreadCount(QThread::idealThreadCount()); }
    void show() {
        grid.source.images = images;
        grid.reload(12);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid.area));
    }
    bool idle() const {
        return ThumbnailLoader::instance()->queuedCount() == 0 &&
               ThumbnailLoader::instance()->runningCount() == 0;
    }
    TempHome home;
    std::vector<IconImagePtr> images;
    Grid grid{310, 200}; // rows 0 and 1 show
};

TEST_F(ThumbnailPipeline, VisibleCellsGetPixelsAtTheirDrawnSize) {
    // Nothing is read before the first draw.
    EXPECT_TRUE(images[0]->pixels().isNull());
    show();
    EXPECT_EVENTUALLY(idle(), 5000);
    const int side = grid.view->imageSize();
    for (int i = 0; i < 6; ++i) {
        const QImage pixels = images[i]->pixels();
        const NSRect fitted = grid.view->scaledImageRect(i);
        ASSERT_FALSE(pixels.isNull()) << i;
        EXPECT_EQ(pixels.width(), qRound(fitted.size.width));
        EXPECT_NEAR(pixels.height(), fitted.size.height, 1.0);
        EXPECT_LE(images[i]->byteCount(), 4 * side * side);
    }
    for (int i = 6; i < 12; ++i) {
        EXPECT_TRUE(images[i]->pixels().isNull()) << i;
    }
}

TEST_F(ThumbnailPipeline, ArrivingPixelsRepaintOnlyTheirCell) {
    struct PaintLog : QObject {
        std::vector<QRegion> regions;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                regions.push_back(static_cast<QPaintEvent*>(event)->region());
            }
            return false;
        }
    } paints;
    ThumbnailLoader::instance()->setMaxThreadCount(1);
    grid.source.images = images;
    grid.reload(12);
    grid.view->installEventFilter(&paints);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid.area));
    EXPECT_EVENTUALLY(idle(), 5000);
    EXPECT_EVENTUALLY(!images[5]->pixels().isNull(), 5000);
    QCoreApplication::processEvents();
    ASSERT_GE(paints.regions.size(), 2u);
    // After the first full paint, only picture areas: never a whole row, never a caption.
    for (std::size_t i = 1; i < paints.regions.size(); ++i) {
        for (const QRect& rect : paints.regions[i]) {
            EXPECT_LE(rect.height(), grid.view->imageSize() + 10);
        }
        for (int item : {0, 4}) {
            const NSRect caption = grid.view->textRect(item);
            const QPoint middle(static_cast<int>(caption.origin.x + caption.size.width / 2),
                                static_cast<int>(caption.origin.y + caption.size.height / 2));
            EXPECT_FALSE(paints.regions[i].contains(middle));
        }
    }
    grid.view->removeEventFilter(&paints);
}

TEST_F(ThumbnailPipeline, WorkForCellsNoLongerShownIsDropped) {
    ThumbnailLoader::instance()->setMaxThreadCount(1);
    const auto decoded = [this]() {
        int count = 0;
        for (const IconImagePtr& image : images) {
            count += image->pixels().isNull() ? 0 : 1;
        }
        return count;
    };
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid.area));
    grid.source.images = images;
    grid.reload(12);
    // One paint asks for the six cells on screen: one decode runs, five wait.
    // Then the grid goes away: only the one running finishes.
    grid.view->repaint();
    EXPECT_EQ(ThumbnailLoader::instance()->runningCount(), 1);
    EXPECT_EQ(ThumbnailLoader::instance()->queuedCount(), 5);
    grid.area.hide();
    EXPECT_EVENTUALLY(idle(), 5000);
    EXPECT_EQ(decoded(), 1);

    // Shown again, the cells ask again.
    grid.area.show();
    EXPECT_EVENTUALLY(!images[5]->pixels().isNull(), 5000);
}

// A file that is no picture (empty, text named .jpg) is asked for once and
// shows a broken-picture placeholder in its square, which is clicked and
// selected like any picture.
TEST_F(ThumbnailPipeline, APictureThatCannotBeReadIsAskedForOnceAndShownBroken) {
    images[0] =
        IconImage::referencingFile(home.writeFile(QStringLiteral("broken.jpg"), "\xff\xd8 not really"));
    images[1] = IconImage::referencingFile(QString());
    show();
    // A file this new may still be being written: it is tried again until it settles.
    EXPECT_EVENTUALLY(images[0]->isBroken(), 10000);
    EXPECT_EVENTUALLY(idle(), 5000);
    EXPECT_TRUE(images[0]->size().isEmpty());
    const NSRect square = grid.view->imageRect(0);
    EXPECT_EQ(grid.view->scaledImageRect(0).size, square.size);
    grid.view->repaint();
    EXPECT_TRUE(idle());
    // Drawn: the placeholder's grey, not the white of a picture still coming.
    const QImage shot = grid.view->grab().toImage();
    const QPoint corner(static_cast<int>(square.origin.x) + 3, static_cast<int>(square.origin.y) + 3);
    EXPECT_LT(qGreen(shot.pixel(corner)), 250);
    QTest::mouseClick(grid.view, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(grid.view->selection(), IndexSet{0});
}

// A picture being saved or copied into a folder is listed before it is
// complete: what cannot be read of it yet is read again once it is.
TEST_F(ThumbnailPipeline, APictureStillBeingWrittenIsDrawnOnceComplete) {
    const QByteArray whole = jpegOf(halves(QSize(400, 300)));
    const QString empty = home.writeFile(QStringLiteral("empty.jpg"));
    // Its header so far, without the image data.
    const QString half = home.writeFile(QStringLiteral("half.jpg"), whole.left(whole.indexOf("\xff\xda")));
    // Half its image data: the decoder fills the missing end with grey.
    const QString cut = home.writeFile(QStringLiteral("cut.jpg"), whole.left(whole.size() / 2));
    images[0] = IconImage::referencingFile(empty);
    images[1] = IconImage::referencingFile(half);
    images[2] = IconImage::referencingFile(cut);
    show();
    EXPECT_EVENTUALLY(idle(), 5000);
    EXPECT_TRUE(images[0]->pixels().isNull());
    EXPECT_TRUE(images[1]->pixels().isNull());
    const auto bottomLeftIsRed = [&] {
        const QImage pixels = images[2]->pixels();
        return !pixels.isNull() && isRed(pixels.pixel(3, pixels.height() - 3));
    };
    EXPECT_FALSE(bottomLeftIsRed());
    for (const char* name : {"empty.jpg", "half.jpg", "cut.jpg"}) {
        home.writeFile(QLatin1String(name), whole);
    }
    EXPECT_EVENTUALLY(!images[0]->pixels().isNull() && !images[1]->pixels().isNull(), 3000);
    EXPECT_EQ(images[0]->size(), QSizeF(400, 300));
    EXPECT_FALSE(images[1]->failed());
    EXPECT_EVENTUALLY(bottomLeftIsRed(), 3000);
}

// A Lightroom catalogue's preview: the smallest level that fills the box is
// decoded, and the grid draws it; a preview cut short or gone gives way to the
// picture it stands for.
TEST_F(ThumbnailPipeline, ALightroomPreviewDrawsTheLevelThatFitsTheCell) {
    const QByteArray whole =
        lightroomPreview({solid(QSize(40, 30), Qt::red), solid(QSize(400, 300), Qt::green),
                          solid(QSize(1600, 1200), Qt::blue)});
    const QString preview = home.writeFile(QStringLiteral("C Previews.lrdata/A/ABCD/ABCD-1.lrprev"), whole);
    const auto centre = [](const QImage& image) {
        return image.isNull() ? QRgb(0) : image.pixel(image.width() / 2, image.height() / 2);
    };
    using Source = ThumbnailDecoder::Source;
    for (const auto& [bound, isLevel] :
         std::vector<std::pair<QSize, bool (*)(QRgb)>>{{QSize(40, 30), isRed},
                                                       {QSize(48, 40), isGreen},
                                                       {QSize(300, 225), isGreen},
                                                       {QSize(420, 315), isBlue},
                                                       {QSize(2000, 1500), isBlue}}) {
        const ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(preview, bound);
        EXPECT_TRUE(isLevel(centre(made.image))) << bound.width();
        EXPECT_EQ(made.source, Source::Preview);
        EXPECT_EQ(made.uprightSize, QSize(1600, 1200));
        EXPECT_EQ(made.image.size(), ThumbnailDecoder::fitted(QSize(1600, 1200), bound));
    }

    const QString cut = home.writeFile(QStringLiteral("C Previews.lrdata/A/ABCD/ABCD-2.lrprev"),
                                       whole.left(whole.size() - 100));
    EXPECT_TRUE(ThumbnailDecoder::make(cut, QSize(300, 225)).image.isNull());
    images[0] = IconImage::referencingFile(preview, images[0]->path());
    images[1] = IconImage::referencingFile(cut, images[1]->path());
    images[2] = IconImage::referencingFile(home.file(QStringLiteral("gone.lrprev")), images[2]->path());
    show();
    EXPECT_EVENTUALLY(idle(), 5000);
    EXPECT_TRUE(isGreen(centre(images[0]->pixels())));
    EXPECT_EQ(images[0]->size(), QSizeF(1600, 1200));
    for (const int i : {1, 2}) {
        const QImage pixels = images[i]->pixels();
        ASSERT_FALSE(pixels.isNull()) << i;
        EXPECT_TRUE(isRed(pixels.pixel(3, pixels.height() / 2))) << i;
        EXPECT_TRUE(isBlue(pixels.pixel(pixels.width() - 3, pixels.height() / 2))) << i;
    }
}

} // namespace
