#include "browser/PhotoListController.h"
#include "browser/PicturePreview.h"
#include "browser/PreviewCanvas.h"
#include "iconview/IconImage.h"
#include "iconview/IconView.h"
#include "model/MediaFolder.h"
#include "model/Photo.h"
#include "support/CameraFixtures.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Writes what a camera records into the picture file with exiftool.
void recordCamera(const QString& path, const QString& make, const QString& model, const QString& taken) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("exiftool"),
                                {QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                                 QStringLiteral("-Make=") + make, QStringLiteral("-Model=") + model,
                                 QStringLiteral("-DateTimeOriginal=") + taken, path}),
              0);
}

QImage gradient(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), 90));
        }
    }
    return image;
}

// A pictures list of a camera's JPEG, a phone's HEIC and a file that is no picture.
struct PreviewFixture {
    TempHome home;
    PhotoListController list;
    MediaFolderPtr folder = std::make_shared<MediaFolder>();
    QString jpeg;
    QString heic;

    PreviewFixture() {
        jpeg = home.file(QStringLiteral("Summit.jpg"));
        EXPECT_TRUE(gradient(QSize(2400, 1600)).save(jpeg, "JPEG", 90));
        recordCamera(jpeg, QStringLiteral("Canon"), QStringLiteral("Canon EOS 5D"),
                     QStringLiteral("2023:03:12 14:02:11"));
        heic = CameraFixtures::heif(home.file(QStringLiteral("Phone.heic")), gradient(QSize(640, 480)));
        recordCamera(heic, QStringLiteral("Apple"), QStringLiteral("iPhone 12"),
                     QStringLiteral("2022:07:01 09:30:00"));
        const QString broken = home.writeFile(QStringLiteral("Broken.jpg"), "not a picture\n");
        for (const QString& path : {jpeg, heic, broken}) {
            folder->addFile(Photo::photoFromFile(path));
        }
        list.setFolder(folder);
    }
};

TEST(PicturePreview, ShowsThePictureFittedWithItsDetailsAndStepsThroughTheList) {
    PreviewFixture f;
    ASSERT_EQ(f.list.numItems(), 3);
    PicturePreview preview(&f.list);
    preview.resize(800, 600);
    std::vector<int> positions;
    QObject::connect(&preview, &PicturePreview::positionChanged, [&](int p) { positions.push_back(p); });

    preview.showItem(0);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Summit"));
    // Read off the main thread: the window is up before the picture is.
    ASSERT_EVENTUALLY(!preview.canvas()->image().isNull(), 10000);
    const QString info = preview.infoText();
    EXPECT_TRUE(info.startsWith(QStringLiteral("2,400 × 1,600 pixels · "))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral(" kB · Taken "))) << info.toStdString();
    const QDateTime taken(QDate(2023, 3, 12), QTime(14, 2, 11));
    EXPECT_TRUE(info.contains(QLocale().toString(taken, QLocale::ShortFormat))) << info.toStdString();
    EXPECT_TRUE(info.endsWith(QStringLiteral(" · Canon EOS 5D"))) << info.toStdString();
    // Fitted to the window, read at that size rather than whole.
    const QSize shown = preview.canvas()->image().size();
    EXPECT_LE(shown.width(), 800);
    EXPECT_LT(shown.height(), 600);
    EXPECT_NEAR(double(shown.width()) / shown.height(), 1.5, 0.01);
    const QRectF drawn = preview.canvas()->pictureRect();
    EXPECT_LE(drawn.width(), preview.canvas()->width() + 0.5);
    EXPECT_GE(drawn.width(), preview.canvas()->width() - 1.0);

    // One picture pixel to a screen pixel: the whole picture.
    QTest::keyClick(&preview, Qt::Key_1);
    EXPECT_TRUE(preview.isActualSize());
    ASSERT_EVENTUALLY(preview.canvas()->image().size() == QSize(2400, 1600), 10000);
    EXPECT_EQ(preview.canvas()->pictureRect().size(), QSizeF(2400, 1600));
    QTest::keyClick(&preview, Qt::Key_1);
    EXPECT_FALSE(preview.isActualSize());

    // The phone's HEIC next, with what the phone recorded.
    QTest::keyClick(&preview, Qt::Key_Right);
    EXPECT_EQ(preview.position(), 1);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Phone"));
    ASSERT_EVENTUALLY(preview.infoText().contains(QStringLiteral("640 × 480 pixels")), 10000);
    EXPECT_TRUE(preview.infoText().endsWith(QStringLiteral(" · Apple iPhone 12")))
        << preview.infoText().toStdString();
    EXPECT_EQ(preview.canvas()->image().size(), QSize(640, 480)) << "small pictures are not enlarged";

    // A file that is no picture says so; the end of the list stops there.
    QTest::keyClick(&preview, Qt::Key_Right);
    ASSERT_EVENTUALLY(preview.canvas()->image().isNull(), 10000);
    QTest::keyClick(&preview, Qt::Key_Right);
    EXPECT_EQ(preview.position(), 2);
    QTest::keyClick(&preview, Qt::Key_Left);
    EXPECT_EQ(preview.path(), f.heic);
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 1}));

    // The list changing around it (a search) keeps the picture shown and finds its new place.
    f.list.setFilter(QStringLiteral("phone"));
    EXPECT_EQ(preview.position(), 0);
    EXPECT_EQ(preview.path(), f.heic);

    QTest::keyClick(&preview, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
}

bool isRed(QRgb pixel) {
    return qRed(pixel) > 180 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

bool isBlue(QRgb pixel) {
    return qBlue(pixel) > 180 && qRed(pixel) < 80 && qGreen(pixel) < 80;
}

// A phone's picture turned by its container (with an EXIF orientation that
// must not turn it again): the grid's own picture of it is drawn at once,
// upright, and the picture read for the window replaces it, upright too.
TEST(PicturePreview, TheGridsPictureComesFirstAndTheSharpOneReplacesIt) {
    TempHome home;
    QImage halves(1200, 800, QImage::Format_RGB32); // red left, blue right
    halves.fill(Qt::red);
    for (int y = 0; y < 800; ++y) {
        std::fill_n(reinterpret_cast<QRgb*>(halves.scanLine(y)) + 600, 600, qRgb(0, 0, 255));
    }
    const QString heic = CameraFixtures::heif(home.file(QStringLiteral("IMG_0002.heic")), halves,
                                              {.exifOrientation = 6, .quarterTurnsAnticlockwise = 1});
    PhotoListController list;
    auto folder = std::make_shared<MediaFolder>();
    folder->addFile(Photo::photoFromFile(heic));
    list.setFolder(folder);
    // The grid's picture of the item, made as the grid has it made.
    const IconImagePtr cell = list.imageForIndex(nullptr, 0);
    ASSERT_TRUE(cell);
    cell->requestPixelsWithin(QSize(96, 96), &list, [] { return true; });
    ASSERT_EVENTUALLY(!cell->pixels().isNull(), 20000);

    PicturePreview preview(&list);
    preview.resize(800, 700);
    preview.showItem(0);
    // Before anything is read: the grid's picture, the turned picture's shape, blue above red.
    const QImage quick = preview.canvas()->image();
    ASSERT_EQ(quick.size(), cell->pixels().size());
    EXPECT_LT(quick.width(), quick.height());
    EXPECT_TRUE(isBlue(quick.pixel(quick.width() / 2, quick.height() / 8)));
    EXPECT_TRUE(isRed(quick.pixel(quick.width() / 2, quick.height() * 7 / 8)));

    // The picture read for the window takes its place, fitted and upright.
    ASSERT_EVENTUALLY(preview.canvas()->image().height() > quick.height() * 2, 20000);
    const QImage sharp = preview.canvas()->image();
    EXPECT_NEAR(double(sharp.width()) / sharp.height(), 800.0 / 1200.0, 0.01);
    EXPECT_TRUE(isBlue(sharp.pixel(sharp.width() / 2, sharp.height() / 8)));
    EXPECT_TRUE(isRed(sharp.pixel(sharp.width() / 2, sharp.height() * 7 / 8)));
    EXPECT_TRUE(preview.infoText().startsWith(QStringLiteral("800 × 1,200 pixels")))
        << preview.infoText().toStdString();
}

} // namespace
