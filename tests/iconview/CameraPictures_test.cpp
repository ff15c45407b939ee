#include "PictureFixtures.h"
#include "iconview/ThumbnailDecoder.h"
#include "support/CameraFixtures.h"
#include "support/TempHome.h"

#include <QColor>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using CameraFixtures::DngOptions;
using CameraFixtures::HeifOptions;

// Phones' HEIC and AVIF pictures: the container's rotation (a quarter
// anticlockwise here) turns the picture; an EXIF orientation stored with it
// (a quarter clockwise) describes the pixels before that turn and must not
// turn it again.
TEST(CameraPictures, HeifAndAvifAreTurnedByTheirContainerAlone) {
    TempHome home;
    const QImage picture = halves(QSize(120, 80)); // red left, blue right
    const QString heic = CameraFixtures::heif(home.file(QStringLiteral("plain.heic")), picture);
    const QString avif =
        CameraFixtures::heif(home.file(QStringLiteral("plain.avif")), picture, {.avif = true});
    const QString exifOnly =
        CameraFixtures::heif(home.file(QStringLiteral("exif.heic")), picture, {.exifOrientation = 6});
    for (const QString& path : {heic, avif, exifOnly}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(ThumbnailDecoder::uprightSize(path), QSize(120, 80));
        const QImage thumbnail = ThumbnailDecoder::decode(path, QSize(60, 40), QSize(120, 80));
        ASSERT_EQ(thumbnail.size(), QSize(60, 40));
        EXPECT_TRUE(isRed(thumbnail.pixel(8, 20)));
        EXPECT_TRUE(isBlue(thumbnail.pixel(52, 20)));
    }

    const QString turned = CameraFixtures::heif(home.file(QStringLiteral("IMG_0001.HEIC")), picture,
                                                {.exifOrientation = 6, .quarterTurnsAnticlockwise = 1});
    EXPECT_EQ(ThumbnailDecoder::uprightSize(turned), QSize(80, 120));
    const QImage upright = ThumbnailDecoder::decode(turned, QSize(40, 60), QSize(80, 120));
    ASSERT_EQ(upright.size(), QSize(40, 60));
    EXPECT_TRUE(isBlue(upright.pixel(20, 8)));
    EXPECT_TRUE(isRed(upright.pixel(20, 52)));
}

// A HEIC's own thumbnail serves a small cell; a larger cell gets the primary
// picture (the stored thumbnail, 32 pixels wide, would be blurred there).
TEST(CameraPictures, HeifStoredThumbnailServesOnlyCellsItCovers) {
    TempHome home;
    const QString path = CameraFixtures::heif(home.file(QStringLiteral("thumbed.heic")),
                                              halves(QSize(240, 160)), {.thumbnailSide = 32});
    const QImage small = ThumbnailDecoder::decode(path, QSize(30, 20), QSize(240, 160));
    ASSERT_EQ(small.size(), QSize(30, 20));
    EXPECT_TRUE(isRed(small.pixel(4, 10)));
    const QImage large = ThumbnailDecoder::decode(path, QSize(200, 133), QSize(240, 160));
    ASSERT_EQ(large.size(), QSize(200, 133));
    // Sharp at the halves' border only when decoded from the full picture.
    EXPECT_TRUE(isRed(large.pixel(97, 66)));
    EXPECT_TRUE(isBlue(large.pixel(103, 66)));
}

// The mean difference, per colour channel, between two pictures of one size.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

// A HEIC reduced for a cell or the preview (read from its coded planes, the
// in-loop filters skipped at half size or less) has the colours the
// picture's own library gives when it decodes the whole picture: a swapped,
// shifted or wrongly scaled chroma plane, or a wrong matrix or range, moves
// every colour of a colourful picture by far more.
TEST(CameraPictures, HeicReducedFromItsPlanesHasTheColoursOfTheWholeDecode) {
    TempHome home;
    QImage picture(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            // A sweep of hues across, light to dark down, with sharp squares.
            const bool square = (x / 40 + y / 40) % 5 == 0;
            picture.setPixel(
                x, y,
                QColor::fromHsv((x * 359 / 639 + (square ? 180 : 0)) % 360, 200, 255 - y * 180 / 479).rgb());
        }
    }
    const QString heic = CameraFixtures::heif(home.file(QStringLiteral("colours.heic")), picture);
    ASSERT_FALSE(heic.isEmpty());
    QTemporaryDir work;
    const QString whole = work.filePath(QStringLiteral("whole.png"));
    QProcess convert;
    convert.start(QStringLiteral("heif-convert"), {heic, whole});
    ASSERT_TRUE(convert.waitForFinished(60000) && convert.exitCode() == 0);
    const QImage reference = QImage(whole).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(reference.size(), QSize(640, 480));
    for (const QSize box : {QSize(320, 240), QSize(160, 120), QSize(480, 360), QSize(640, 480)}) {
        SCOPED_TRACE(box.width());
        const QImage reduced = ThumbnailDecoder::decode(heic, box, QSize(640, 480));
        ASSERT_EQ(reduced.size(), box);
        const QImage expected = reference.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(meanDifference(reduced.convertToFormat(QImage::Format_RGB32), expected), 2.0);
    }
}

// A camera's RAW file shows the JPEG preview the camera embedded, turned by
// the RAW's orientation; without a preview, its raw data decoded at half size.
TEST(CameraPictures, RawShowsItsPreviewTurnedByTheRawsOrientation) {
    TempHome home;
    DngOptions options;
    options.previewJpeg = jpegOf(halves(QSize(160, 120)));
    options.orientation = 6; // turn a quarter clockwise to show
    options.rawSize = QSize(160, 120);
    const QString path = home.writeFile(QStringLiteral("DSC_0001.DNG"), CameraFixtures::dng(options));
    EXPECT_EQ(ThumbnailDecoder::uprightSize(path), QSize(120, 160));
    const QImage upright = ThumbnailDecoder::decode(path, QSize(60, 80), QSize(120, 160));
    ASSERT_EQ(upright.size(), QSize(60, 80));
    EXPECT_TRUE(isRed(upright.pixel(30, 8)));
    EXPECT_TRUE(isBlue(upright.pixel(30, 72)));

    options.previewJpeg.clear();
    const QString bare = home.writeFile(QStringLiteral("bare.dng"), CameraFixtures::dng(options));
    const QImage decoded = ThumbnailDecoder::decode(bare, QSize(60, 80), QSize(120, 160));
    ASSERT_EQ(decoded.size(), QSize(60, 80));
    EXPECT_FALSE(isRed(decoded.pixel(30, 8)) || isBlue(decoded.pixel(30, 72)));
}

} // namespace
