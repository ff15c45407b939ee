#include "iconview/ThumbnailDecoder.h"
#include "model/Photo.h"
#include "platform/media/MovieFile.h"
#include "platform/media/MoviePoster.h"
#include "platform/media/MpvPlayer.h"
#include "platform/system/Path.h"
#include "platform/system/SharedLibrary.h"
#include "support/CameraFixtures.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <QBuffer>
#include <QImage>

#include <cstring>
#include <gtest/gtest.h>
#include <link.h>

using MediaFixtures::Fixture;

namespace {

// Whether a library whose file name starts with prefix is loaded in this process.
bool isLoaded(const char* prefix) {
    struct Search {
        const char* prefix;
        bool found = false;
    } search{prefix};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* search = static_cast<Search*>(data);
            const char* slash = std::strrchr(info->dlpi_name, '/');
            const char* name = slash == nullptr ? info->dlpi_name : slash + 1;
            search->found =
                search->found || std::strncmp(name, search->prefix, std::strlen(search->prefix)) == 0;
            return 0;
        },
        &search);
    return search.found;
}

// Starting the browser loads neither FFmpeg nor libmpv, with the two hundred
// libraries they need: FFmpeg comes with the first movie read, libmpv with
// the first one played. (Each test runs in a process of its own.)
TEST(MediaLibraries, FFmpegAndMpvLoadWithTheFirstMovieReadOrPlayed) {
    const QString movie = MediaFixtures::path(Fixture::TaggedMov);
    EXPECT_FALSE(isLoaded("libavformat.so"));
    EXPECT_FALSE(isLoaded("libmpv.so"));

    EXPECT_TRUE(MovieFile::canOpen(movie)); // by its name alone
    EXPECT_FALSE(isLoaded("libavformat.so"));

    const std::unique_ptr<MovieFile> file = MovieFile::open(movie);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->displayName(), QStringLiteral("Holiday Clip"));
    EXPECT_FALSE(MoviePoster::posterImage(movie, QSize(32, 32)).isNull());
    EXPECT_TRUE(isLoaded("libavformat.so"));
    EXPECT_TRUE(isLoaded("libswscale.so"));
    EXPECT_FALSE(isLoaded("libmpv.so"));

    EXPECT_TRUE(MpvPlayer::create(Path::fileUrl(movie), {"null", "null"}));
    EXPECT_TRUE(isLoaded("libmpv.so"));
}

// Nor libheif and LibRaw: listing HEIC and RAW pictures reads their names
// alone; each library comes with the first picture of its kind read.
TEST(MediaLibraries, HeifAndRawLibrariesLoadWithTheFirstSuchPictureRead) {
    TempHome home;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString heic = CameraFixtures::heif(home.file(QStringLiteral("phone.heic")), picture);
    CameraFixtures::DngOptions options;
    options.previewJpeg = [&] {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPEG");
        return jpeg;
    }();
    options.rawSize = QSize(40, 30);
    const QString dng = home.writeFile(QStringLiteral("camera.dng"), CameraFixtures::dng(options));
    EXPECT_FALSE(isLoaded("libheif.so"));
    EXPECT_FALSE(isLoaded("libraw_r.so"));

    EXPECT_TRUE(Photo::photoFromFile(heic));
    EXPECT_TRUE(Photo::photoFromFile(dng));
    EXPECT_FALSE(isLoaded("libheif.so"));
    EXPECT_FALSE(isLoaded("libraw_r.so"));

    EXPECT_EQ(ThumbnailDecoder::uprightSize(heic), QSize(40, 30));
    EXPECT_TRUE(isLoaded("libheif.so"));
    EXPECT_FALSE(isLoaded("libraw_r.so"));
    EXPECT_EQ(ThumbnailDecoder::uprightSize(dng), QSize(40, 30));
    EXPECT_TRUE(isLoaded("libraw_r.so"));
}

TEST(SharedLibrary, TakesTheFirstNameThatLoadsAndAnswersNullForWhatIsMissing) {
    const SharedLibrary missing({"libqvmb-no-such-library.so.1"});
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.symbol("strlen"), nullptr);

    const SharedLibrary c({"libqvmb-no-such-library.so.1", "libc.so.6"});
    ASSERT_TRUE(c.isLoaded());
    EXPECT_NE(c.symbol("strlen"), nullptr);
    EXPECT_EQ(c.symbol("qvmb_no_such_symbol"), nullptr);
}

} // namespace
