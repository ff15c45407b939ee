#include "model/MediaFileTypes.h"
#include "platform/media/MovieFile.h"
#include "platform/media/MoviePoster.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <QColor>
#include <QProcess>

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

// Runs ffmpeg with a one-second source and the given output options; answers
// whether it wrote output.
bool ffmpegWrites(const QStringList& source, const QStringList& output, const QString& path) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y")} +
                     source + output + QStringList{path});
    return ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0;
}

const QStringList kTone = {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("sine=frequency=440:duration=2:sample_rate=48000")};
const QStringList kPicture = {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                              QStringLiteral("testsrc=size=160x128:rate=10:duration=2")};

// A stream's own title names that stream (a Matroska audio track "English"),
// not the file; only Ogg keeps the file's comments on its stream.
TEST(MovieFile, OnlyOggFilesAreNamedByTheirStreamsTitle) {
    TempHome home;
    const QStringList trackTitle = {QStringLiteral("-metadata:s:a:0"), QStringLiteral("title=English")};
    const QString mkv = home.file(QStringLiteral("film.mkv"));
    const QString webm = home.file(QStringLiteral("film.webm"));
    const QString ogg = home.file(QStringLiteral("song.ogg"));
    ASSERT_TRUE(ffmpegWrites(kPicture + kTone, trackTitle, mkv));
    ASSERT_TRUE(ffmpegWrites(
        kTone, trackTitle + QStringList{QStringLiteral("-c:a"), QStringLiteral("libopus")}, webm));
    ASSERT_TRUE(ffmpegWrites(kTone, {QStringLiteral("-metadata"), QStringLiteral("title=Ogg Song")}, ogg));
    for (const QString& path : {mkv, webm}) {
        const auto movie = MovieFile::open(path);
        ASSERT_TRUE(movie);
        EXPECT_TRUE(movie->displayName().isNull()) << movie->displayName().toStdString();
    }
    const auto song = MovieFile::open(ogg);
    ASSERT_TRUE(song);
    EXPECT_EQ(song->displayName(), QStringLiteral("Ogg Song"));
}

// Every kind added beside the common ones is listed and read: one file of
// each, as ffmpeg writes it here (AMR, which it cannot encode, made by hand).
TEST(MovieFile, LessCommonKindsThatFFmpegDecodesAreListedAndRead) {
    TempHome home;
    const QStringList audio[] = {
        {QStringLiteral("mp2")},
        {QStringLiteral("m4r"), QStringLiteral("-f"), QStringLiteral("ipod")},
        {QStringLiteral("au")},
        {QStringLiteral("snd"), QStringLiteral("-f"), QStringLiteral("au")},
        {QStringLiteral("rm")},
        {QStringLiteral("3gpp"), QStringLiteral("-f"), QStringLiteral("3gp"), QStringLiteral("-c:a"),
         QStringLiteral("aac")},
    };
    const QStringList video[] = {
        {QStringLiteral("m2v")},
        {QStringLiteral("f4v")},
        {QStringLiteral("rmvb"), QStringLiteral("-f"), QStringLiteral("rm")},
    };
    QStringList tones;
    for (const QStringList& kind : audio) {
        const QString path = home.file(QStringLiteral("tone.") + kind[0]);
        ASSERT_TRUE(ffmpegWrites(kTone, kind.mid(1), path)) << kind[0].toStdString();
        tones.append(path);
    }
    // AMR-NB: the magic line, then a hundred 20 ms frames of the 12.2 kbit/s mode.
    QByteArray amr("#!AMR\n");
    for (int frame = 0; frame < 100; ++frame) {
        amr += '\x3C' + QByteArray(31, '\0');
    }
    tones.append(home.writeFile(QStringLiteral("voice.amr"), amr));
    for (const QString& path : tones) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(MediaFileTypes::isPlayable(path));
        const auto movie = MovieFile::open(path);
        ASSERT_TRUE(movie);
        EXPECT_GE(movie->durationSeconds(), 1);
    }
    // A raw MPEG-2 stream has no length to read; every video gives its first picture.
    for (const QStringList& kind : video) {
        const QString path = home.file(QStringLiteral("clip.") + kind[0]);
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(ffmpegWrites(kPicture, kind.mid(1), path));
        EXPECT_TRUE(MediaFileTypes::isPlayable(path));
        EXPECT_TRUE(MovieFile::open(path));
        EXPECT_EQ(MoviePoster::posterImage(path, QSize(160, 160)).size(), QSize(160, 128));
    }
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
