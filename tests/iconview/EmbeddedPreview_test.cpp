#include "PictureFixtures.h"
#include "iconview/ThumbnailDecoder.h"
#include "platform/media/ThumbnailCache.h"
#include "support/CameraFixtures.h"
#include "support/TempHome.h"

#include <QFile>
#include <QPainter>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using ThumbnailDecoder::Source;

// A picture whose left half is one colour and right half another.
QImage split(QSize size, QColor left, QColor right) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(right);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), left);
    return image;
}

bool isYellow(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 60;
}

// Camera files as cameras write them, but with previews in colours of their
// own: the colours tell which source a thumbnail came from. (A real camera's
// previews show the picture itself.)
class EmbeddedPreviews : public ::testing::Test {
protected:
    void SetUp() override { ThumbnailCache::setWritingEnabled(false); }
    void TearDown() override { ThumbnailCache::setWritingEnabled(true); }

    QString camera(const char* name, const CameraFixtures::CameraJpegOptions& options) {
        return CameraFixtures::cameraJpeg(home.file(QLatin1String(name)), halves(QSize(1200, 800)), options);
    }
    TempHome home;
};

TEST_F(EmbeddedPreviews, TheSmallestPreviewCoveringTheCellServesItTurnedUpright) {
    CameraFixtures::CameraJpegOptions options;
    options.orientation = 6; // a quarter turn clockwise to show: left becomes top
    options.exifThumbnail = split(QSize(150, 100), Qt::green, Qt::yellow);
    options.preview = split(QSize(600, 400), Qt::yellow, Qt::green);
    const QString path = camera("camera.jpg", options);
    ASSERT_FALSE(path.isEmpty());

    // The EXIF thumbnail, turned: green on top.
    ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(path, QSize(100, 150));
    EXPECT_EQ(made.source, Source::Preview);
    EXPECT_EQ(made.uprightSize, QSize(800, 1200));
    ASSERT_EQ(made.image.size(), QSize(100, 150));
    EXPECT_TRUE(isGreen(made.image.pixel(50, 10)));
    EXPECT_TRUE(isYellow(made.image.pixel(50, 140)));

    // Too small for a larger cell: the Multi-Picture preview, yellow on top.
    made = ThumbnailDecoder::make(path, QSize(300, 450));
    EXPECT_EQ(made.source, Source::Preview);
    ASSERT_EQ(made.image.size(), QSize(300, 450));
    EXPECT_TRUE(isYellow(made.image.pixel(150, 20)));
    EXPECT_TRUE(isGreen(made.image.pixel(150, 430)));

    // Larger than both: the picture, red on top.
    made = ThumbnailDecoder::make(path, QSize(500, 750));
    EXPECT_EQ(made.source, Source::Picture);
    EXPECT_TRUE(isRed(made.image.pixel(250, 20)));
    EXPECT_TRUE(isBlue(made.image.pixel(250, 730)));
}

// Previews that would show something other than the picture are passed
// over: the picture itself is decoded.
TEST_F(EmbeddedPreviews, PreviewsThatDisagreeWithThePictureAreNotUsed) {
    const auto fromPicture = [](const QString& path) {
        const ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(path, QSize(150, 100));
        return made.source == Source::Picture && isRed(made.image.pixel(10, 50)) &&
               isBlue(made.image.pixel(140, 50));
    };
    CameraFixtures::CameraJpegOptions letterboxed;
    letterboxed.exifThumbnail = split(QSize(160, 120), Qt::green, Qt::yellow);
    EXPECT_TRUE(fromPicture(camera("letterboxed.jpg", letterboxed)));

    CameraFixtures::CameraJpegOptions grey;
    grey.exifThumbnail =
        split(QSize(300, 200), Qt::gray, Qt::white).convertToFormat(QImage::Format_Grayscale8);
    EXPECT_TRUE(fromPicture(camera("grey.jpg", grey)));

    // The picture turns a quarter; its thumbnail says it is upright as stored.
    CameraFixtures::CameraJpegOptions turnedThumbnail;
    turnedThumbnail.orientation = 6;
    turnedThumbnail.exifThumbnail = split(QSize(150, 100), Qt::green, Qt::yellow);
    turnedThumbnail.thumbnailOrientation = 1;
    const ThumbnailDecoder::Thumbnail turned =
        ThumbnailDecoder::make(camera("turned-thumbnail.jpg", turnedThumbnail), QSize(100, 150));
    EXPECT_EQ(turned.source, Source::Picture);
    EXPECT_TRUE(isRed(turned.image.pixel(50, 10)));
    EXPECT_TRUE(isBlue(turned.image.pixel(50, 140)));

    CameraFixtures::CameraJpegOptions turnedPreview;
    turnedPreview.preview = split(QSize(600, 400), Qt::green, Qt::yellow);
    turnedPreview.previewOrientation = 8;
    EXPECT_TRUE(fromPicture(camera("turned-preview.jpg", turnedPreview)));

    // A preview whose header claims the picture's full size in a few hundred bytes.
    QByteArray tiny = jpegOf(split(QSize(30, 20), Qt::green, Qt::yellow));
    const qsizetype frame = tiny.indexOf("\xff\xc0");
    ASSERT_GT(frame, 0);
    qToBigEndian<quint16>(800, tiny.data() + frame + 5);
    qToBigEndian<quint16>(1200, tiny.data() + frame + 7);
    const QString lying =
        home.writeFile(QStringLiteral("lying.jpg"),
                       CameraFixtures::withMultiPicture(jpegOf(halves(QSize(1200, 800))), tiny));
    EXPECT_TRUE(fromPicture(lying));

    // A preview said to lie beyond the end of the file.
    QByteArray cut = CameraFixtures::withMultiPicture(jpegOf(halves(QSize(1200, 800))),
                                                      jpegOf(split(QSize(600, 400), Qt::green, Qt::yellow)));
    cut.chop(100);
    EXPECT_TRUE(fromPicture(home.writeFile(QStringLiteral("cut.jpg"), cut)));
}

} // namespace
