#include "platform/system/Resources.h"

#include <QDir>
#include <QImageReader>

#include <gtest/gtest.h>

namespace {

struct DeliveredImage {
    const char* name;
    int drawnSize; // logical size in the interface; the file holds twice that
};

// Every image the browser looks up, with the size it is drawn at.
constexpr DeliveredImage deliveredImages[] = {
    {"sl-icon_folder.tiff", 32},  {"sl-icon_library.tiff", 32},
    {"sl-icon_album.tiff", 32},   {"sl-icon_smartAlbum.tiff", 32},
    {"sl-icon_roll.tiff", 32},    {"sl-icon_cal.tiff", 32},
    {"iTunes.tiff", 32},          {"MBiTunesLibrary.tif", 32},
    {"MBiTunesPlaylist.tif", 32}, {"MBiTunesSmartPlaylist.tif", 32},
    {"MBiTunesVideos.tif", 32},   {"MBiTunesPodcastsPlaylist.tif", 32},
    {"MBPlayN.tif", 28},          {"MBPlayH.tif", 28},
    {"MBPlayD.tif", 28},          {"MBStopN.tif", 28},
    {"MBStopH.tif", 28},          {"MBBadge.tif", 24},
    {"MBAudioPlaying.tif", 16},
};

QImage deliveredImage(const char* name) {
    return Resources::image(QString::fromLatin1(name));
}

TEST(Resources, UnknownOrMalformedNamesGiveNothing) {
    EXPECT_TRUE(Resources::imagePath(QStringLiteral("no-such-image.tif")).isNull());
    EXPECT_TRUE(Resources::image(QStringLiteral("no-such-image.tif")).isNull());
    EXPECT_TRUE(Resources::imagePath(QStringLiteral("../images/sl-icon_folder.tiff")).isNull());
    EXPECT_TRUE(Resources::imagePath(QString()).isNull());
}

// The names end in .tif/.tiff but the files are PNG, so this also proves that
// the format is taken from the content. Sizes are doubled for sharp HiDPI
// drawing, and the corners stay transparent so the images sit on any row or
// toolbar background.
TEST(Resources, EveryDeliveredImageDecodesAtTwiceItsDrawnSize) {
    for (const auto& delivered : deliveredImages) {
        SCOPED_TRACE(delivered.name);
        const QImage image = deliveredImage(delivered.name);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(2 * delivered.drawnSize, 2 * delivered.drawnSize));
        EXPECT_EQ(image.deviceIndependentSize(), QSizeF(delivered.drawnSize, delivered.drawnSize));
        ASSERT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
    }
}

TEST(Resources, EveryImageInTheLibraryDecodes) {
    const QDir images(QStringLiteral(":/qvmediabrowser/images"));
    const QStringList names = images.entryList(QDir::Files);
    EXPECT_EQ(names.size(), static_cast<qsizetype>(std::size(deliveredImages)));
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QImageReader reader(images.filePath(name));
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), "png");
        EXPECT_FALSE(Resources::image(name).isNull());
    }
}

// Images registered under one key by different folders, and the alternate
// states of a button, must be told apart at a glance.
TEST(Resources, ImagesThatShareARoleDiffer) {
    const std::pair<const char*, const char*> pairs[] = {
        {"sl-icon_library.tiff", "MBiTunesLibrary.tif"},
        {"sl-icon_album.tiff", "sl-icon_smartAlbum.tiff"},
        {"MBiTunesPlaylist.tif", "MBiTunesSmartPlaylist.tif"},
        {"MBPlayN.tif", "MBPlayH.tif"},
        {"MBPlayN.tif", "MBPlayD.tif"},
        {"MBStopN.tif", "MBStopH.tif"},
        {"MBPlayN.tif", "MBStopN.tif"},
    };
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(std::string(first) + " / " + second);
        const QImage a = deliveredImage(first).convertToFormat(QImage::Format_ARGB32);
        const QImage b = deliveredImage(second).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(a.size(), b.size());
        // Count clearly different pixels, not mere anti-aliasing noise; a
        // changed glyph on the same button covers a few percent of it.
        int differing = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y);
                const QRgb q = b.pixel(x, y);
                const int distance = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                                     std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
                differing += distance > 96 ? 1 : 0;
            }
        }
        EXPECT_GT(differing, a.width() * a.height() / 50);
    }
}

// The drag code draws the selection count in white on the badge: its middle
// must be opaque and dark enough for white text to read.
TEST(Resources, BadgeCarriesWhiteText) {
    const QImage badge = deliveredImage("MBBadge.tif");
    ASSERT_FALSE(badge.isNull());
    const QColor middle = badge.pixelColor(badge.width() / 2, badge.height() / 2);
    EXPECT_EQ(middle.alpha(), 255);
    EXPECT_LT(middle.lightnessF(), 0.6);
}

} // namespace
