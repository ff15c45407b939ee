#include "PictureFixtures.h"
#include "support/CameraFixtures.h"
#include "support/TempHome.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// qvmb-thumbnail writes what the grid draws: each picture fitted into the
// cell's square at the screen's pixel ratio, upright, as PNG; a file it
// cannot picture makes it fail, after it has written the others.
TEST(QvmbThumbnail, WritesTheGridsThumbnailOfEachPictureAndFailsForOneItCannotShow) {
    TempHome home;
    const QImage picture = halves(QSize(120, 80)); // red left, blue right
    const QString heic = CameraFixtures::heif(home.file(QStringLiteral("in/turned.heic")), picture,
                                              {.quarterTurnsAnticlockwise = 1});
    const QString avif =
        CameraFixtures::heif(home.file(QStringLiteral("in/flat.avif")), picture, {.avif = true});
    CameraFixtures::DngOptions options;
    options.previewJpeg = jpegOf(halves(QSize(160, 120)));
    options.orientation = 8; // turn a quarter anticlockwise to show
    options.rawSize =
        QSize(160, 120); // at half size smaller than the preview, though that is smaller than the cell
    const QString dng = home.writeFile(QStringLiteral("in/camera.dng"), CameraFixtures::dng(options));
    const QString text = home.writeFile(QStringLiteral("in/notes.heic"), "not a picture");
    const QString out = home.file(QStringLiteral("out"));

    QProcess process;
    process.start(QStringLiteral(QVMB_THUMBNAIL_PATH),
                  {QStringLiteral("--size"), QStringLiteral("150"), QStringLiteral("--dpr"),
                   QStringLiteral("2"), QStringLiteral("--out"), out, heic, text, avif, dng});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("notes.heic"));

    // 80 x 120 shown: 100 x 150 points in the square, twice that in pixels.
    const QImage turned(out + QStringLiteral("/turned.heic.png"));
    ASSERT_EQ(turned.size(), QSize(200, 300));
    EXPECT_TRUE(isBlue(turned.pixel(100, 20)));
    EXPECT_TRUE(isRed(turned.pixel(100, 280)));

    const QImage flat(out + QStringLiteral("/flat.avif.png"));
    ASSERT_EQ(flat.size(), QSize(300, 200));
    EXPECT_TRUE(isRed(flat.pixel(20, 100)));
    EXPECT_TRUE(isBlue(flat.pixel(280, 100)));

    const QImage camera(out + QStringLiteral("/camera.dng.png"));
    ASSERT_EQ(camera.size(), QSize(225, 300));
    EXPECT_TRUE(isBlue(camera.pixel(112, 20)));
    EXPECT_TRUE(isRed(camera.pixel(112, 280)));

    EXPECT_FALSE(QFile::exists(out + QStringLiteral("/notes.heic.png")));
}

} // namespace
