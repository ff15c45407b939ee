#include "platform/MovieFile.h"
#include "platform/MoviePoster.h"
#include "platform/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <QColor>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using MediaFixtures::Fixture;

namespace {

QString valueOf(const MovieMetaDataItems& items, quint32 key) {
    for (const MovieMetaDataItem& item : items) {
        if (item.keyFormat == MovieMetaDataKeyFormatItunesShort && item.key == key) {
            return QString::fromUtf8(item.value);
        }
    }
    return {};
}

TEST(MovieFile, CanOpenJudgesTheExtensionAloneIgnoringCase) {
    // None of these files exist: the answer comes from the name.
    EXPECT_TRUE(MovieFile::canOpen(QStringLiteral("/nowhere/clip.MoV")));
    EXPECT_TRUE(MovieFile::canOpen(QStringLiteral("/nowhere/song.flac")));
    EXPECT_TRUE(MovieFile::canOpen(QStringLiteral("/nowhere/take.wav")));
    EXPECT_TRUE(MovieFile::canOpen(Path::fileUrl(QStringLiteral("/nowhere/a b.mpg"))));
    EXPECT_FALSE(MovieFile::canOpen(QStringLiteral("/nowhere/picture.png")));
    EXPECT_FALSE(MovieFile::canOpen(QStringLiteral("/nowhere/song.mp3.txt")));
    EXPECT_FALSE(MovieFile::canOpen(QStringLiteral("/nowhere/mp3")));
    EXPECT_FALSE(MovieFile::canOpen(QUrl(QStringLiteral("http://example.org/a.mp3"))));
}

TEST(MovieFile, ReadsTitleArtistAndDurationOfContainers) {
    struct Case {
        Fixture fixture;
        const char* title;
        const char* artist;
        qint64 seconds;
    };
    for (const Case& c : {Case{Fixture::TaggedMov, "Holiday Clip", "Director", 1},
                          Case{Fixture::TaggedM4a, "Evening Song", "The Band", 1},
                          Case{Fixture::TaggedMp3, "Morning Song", "Zoë Keating", 2}}) {
        SCOPED_TRACE(c.title);
        const auto movie = MovieFile::open(MediaFixtures::path(c.fixture));
        ASSERT_TRUE(movie);
        EXPECT_EQ(movie->displayName(), QString::fromUtf8(c.title));
        EXPECT_EQ(valueOf(movie->metaData(), MovieMetaDataKeyName), QString::fromUtf8(c.title));
        EXPECT_EQ(valueOf(movie->metaData(), MovieMetaDataKeyArtist), QString::fromUtf8(c.artist));
        EXPECT_EQ(movie->durationSeconds(), c.seconds);
    }
}

TEST(MovieFile, FileWithoutMetadataHasNoDisplayNameButItsDuration) {
    const auto movie = MovieFile::open(MediaFixtures::path(Fixture::VideoOnlyMp4));
    ASSERT_TRUE(movie);
    EXPECT_TRUE(movie->displayName().isNull());
    EXPECT_TRUE(valueOf(movie->metaData(), MovieMetaDataKeyName).isNull());
    EXPECT_EQ(movie->durationSeconds(), 1);
}

TEST(MovieFile, OpensNothingButReadableRegularFiles) {
    TempHome home;
    EXPECT_FALSE(MovieFile::open(home.writeFile(QStringLiteral("garbage.mov"), QByteArray(4096, 'x'))));
    EXPECT_FALSE(MovieFile::open(home.file(QStringLiteral("missing.mov"))));
    EXPECT_FALSE(MovieFile::open(home.makeDirectory(QStringLiteral("folder.mov"))));
    EXPECT_FALSE(MovieFile::open(QUrl(QStringLiteral("http://example.org/a.mov"))));
    // Opening a FIFO for reading would wait for a writer for ever.
    const QString fifo = home.file(QStringLiteral("pipe.mov"));
    ASSERT_EQ(mkfifo(Path::toNative(fifo).constData(), 0600), 0);
    EXPECT_FALSE(MovieFile::open(fifo));
    EXPECT_TRUE(MoviePoster::posterImage(fifo, QSize(150, 150)).isNull());
}

TEST(MovieFile, OpensNamesThatAreNotUtf8OrLookLikeProtocols) {
    TempHome home;
    const QString odd = Path::fromNative(QByteArray(home.path().toUtf8() + "/caf\xe9 http:x.mov"));
    MediaFixtures::copy(Fixture::TaggedMov, odd);
    const auto movie = MovieFile::open(odd);
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->displayName(), QStringLiteral("Holiday Clip"));
    // The temporary directory cannot remove a name it cannot spell.
    unlink(Path::toNative(odd).constData());
}

TEST(MoviePoster, FirstVideoFrameFitsTheBoxWithoutBeingEnlarged) {
    const QString movie = MediaFixtures::path(Fixture::VideoOnlyMp4);
    EXPECT_EQ(MoviePoster::posterImage(movie, QSize(150, 150)).size(), QSize(150, 113));
    EXPECT_EQ(MoviePoster::posterImage(movie, QSize(400, 60)).size(), QSize(80, 60));
    EXPECT_EQ(MoviePoster::posterImage(movie, QSize(400, 400)).size(), QSize(160, 120));
    EXPECT_EQ(MoviePoster::posterImage(MediaFixtures::path(Fixture::TaggedMov), QSize(32, 32)).size(),
              QSize(32, 24));
    EXPECT_TRUE(MoviePoster::posterImage(movie, QSize(0, 150)).isNull());
}

TEST(MoviePoster, TurnsThePictureAsTheStreamAsks) {
    EXPECT_EQ(MoviePoster::posterImage(MediaFixtures::path(Fixture::RotatedMp4), QSize(150, 150)).size(),
              QSize(113, 150));
}

TEST(MoviePoster, AudioWithCoverGivesTheCoverAndWithoutGivesNothing) {
    const QImage cover = MoviePoster::posterImage(MediaFixtures::path(Fixture::CoverM4a), QSize(150, 150));
    ASSERT_EQ(cover.size(), QSize(40, 30));
    const QColor centre = cover.pixelColor(20, 15);
    EXPECT_GT(centre.red(), 240);
    EXPECT_LT(centre.green(), 16);
    EXPECT_TRUE(
        MoviePoster::posterImage(MediaFixtures::path(Fixture::UntaggedMp3), QSize(150, 150)).isNull());
    TempHome home;
    EXPECT_TRUE(
        MoviePoster::posterImage(home.writeFile(QStringLiteral("bad.mp4"), "not a movie"), QSize(150, 150))
            .isNull());
}

} // namespace
