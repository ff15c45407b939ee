#include "model/Photo.h"
#include "platform/media/ImageTypes.h"

#include <gtest/gtest.h>

namespace {

TEST(Photo, PictureTypeTestIsExactAndCaseSensitive) {
    // No file is read: these paths do not exist.
    for (const char* path :
         {"/p/IMG_0001.JPG", "/p/a.jpg", "/p/a.jpeg", "/p/a.png", "/p/a.PNG", "/p/a.gif"}) {
        EXPECT_TRUE(Photo::photoFromFile(QString::fromUtf8(path))) << path;
    }
    for (const char* path : {"/p/a.Jpg", "/p/a.txt", "/p/jpg", "/p/a.jpg.txt", "/p/a.", "/p/a.mov"}) {
        EXPECT_FALSE(Photo::photoFromFile(QString::fromUtf8(path))) << path;
    }
}

TEST(Photo, WiderListHoldsTypesNoReaderDecodes) {
    for (const QString& type : ImageTypes::unfiltered()) {
        EXPECT_TRUE(ImageTypes::all().contains(type)) << type.toStdString();
    }
    // GIMP and Photoshop files are pictures by type, but no reader here opens them.
    EXPECT_TRUE(ImageTypes::all().contains(QStringLiteral("xcf")));
    EXPECT_FALSE(ImageTypes::unfiltered().contains(QStringLiteral("xcf")));
    EXPECT_TRUE(ImageTypes::all().contains(QStringLiteral("PSD")));
}

TEST(Photo, MadeFromAFileItIsNamedWithoutExtensionAndIsItsOwnThumbnail) {
    const auto photo = Photo::photoFromFile(QStringLiteral("/pictures/Trip.2006.jpg"));
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->name(), QStringLiteral("Trip.2006"));
    EXPECT_EQ(photo->path(), QStringLiteral("/pictures/Trip.2006.jpg"));
    EXPECT_EQ(photo->thumbPath(), photo->path());
    EXPECT_TRUE(photo->url().isEmpty());
}

TEST(Photo, MatchesCaptionIgnoringCaseAndCompositionButNotAccents) {
    // The caption as a file system that decomposes names would give it.
    Photo photo(QStringLiteral("Cafe\u0301 at Noon"), QString(), QStringLiteral("/a.jpg"),
                QStringLiteral("/t/a.jpg"));
    EXPECT_EQ(photo.thumbPath(), QStringLiteral("/t/a.jpg"));
    EXPECT_TRUE(photo.matchesFilter(QStringLiteral("CAF\u00c9")));
    EXPECT_TRUE(photo.matchesFilter(QStringLiteral("noon")));
    EXPECT_FALSE(photo.matchesFilter(QStringLiteral("cafe")));
    EXPECT_FALSE(Photo().matchesFilter(QStringLiteral("a")));
}

} // namespace
