#include "model/QVTrack.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using MediaFixtures::Fixture;

namespace {

TEST(QVTrack, TypeTestLooksAtTheNameOnly) {
    // Nothing exists at these paths.
    for (const char* path : {"/m/a.mp3", "/m/a.MP3", "/m/clip.mov", "/m/a.Flac", "/m/a.wav"}) {
        EXPECT_TRUE(QVTrack::trackFromFile(QString::fromUtf8(path))) << path;
    }
    for (const char* path : {"/m/a.png", "/m/a.PNG", "/m/a.xml", "/m/a.txt", "/m/mp3", "/m/a.jpg"}) {
        EXPECT_FALSE(QVTrack::trackFromFile(QString::fromUtf8(path))) << path;
    }
    const auto track = QVTrack::trackFromFile(QStringLiteral("/m/a b#1.mp3"));
    EXPECT_EQ(Path::localPath(track->url()), QStringLiteral("/m/a b#1.mp3"));
}

TEST(QVTrack, ReadsId3TagsOfMp3FilesOnFirstUse) {
    TempHome home;
    const auto track =
        QVTrack::trackFromFile(MediaFixtures::copy(Fixture::TaggedMp3, home.file(QStringLiteral("t.mp3"))));
    ASSERT_TRUE(track);
    EXPECT_EQ(track->name(), QStringLiteral("Morning Song"));
    EXPECT_EQ(track->artist(), QStringLiteral("Zo\u00eb Keating"));
    EXPECT_EQ(track->length(), 2u);
}

TEST(QVTrack, AnMp3CutShortTellsTheLengthItReallyPlays) {
    TempHome home;
    // Ten seconds with the encoder's Info header, which counts every frame.
    const QString whole = home.file(QStringLiteral("whole.mp3"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("ffmpeg"),
                                {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                                 QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                 QStringLiteral("sine=frequency=440:duration=10"), QStringLiteral("-c:a"),
                                 QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("128k"),
                                 whole}),
              0);
    QFile file(whole);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // A download broken off after four tenths of the file.
    const QString cut = home.writeFile(QStringLiteral("cut.mp3"), file.read(file.size() * 4 / 10));
    EXPECT_EQ(QVTrack(Path::fileUrl(whole)).length(), 10u);
    EXPECT_EQ(QVTrack(Path::fileUrl(cut)).length(), 4u);
}

TEST(QVTrack, UntaggedFilesAreNamedAfterTheFileWithoutArtist) {
    TempHome home;
    const auto mp3 = QVTrack::trackFromFile(
        MediaFixtures::copy(Fixture::UntaggedMp3, home.file(QStringLiteral("Plain Tone.mp3"))));
    EXPECT_EQ(mp3->name(), QStringLiteral("Plain Tone"));
    EXPECT_TRUE(mp3->artist().isNull());
    EXPECT_EQ(mp3->length(), 1u);

    const auto m4a = QVTrack::trackFromFile(
        MediaFixtures::copy(Fixture::VideoOnlyMp4, home.file(QStringLiteral("Trip.m4a"))));
    EXPECT_EQ(m4a->name(), QStringLiteral("Trip"));
    EXPECT_TRUE(m4a->artist().isNull());
    EXPECT_EQ(m4a->length(), 1u);
}

TEST(QVTrack, OtherFilesAndUpperCaseMp3AreReadAsMovies) {
    TempHome home;
    const auto m4a =
        QVTrack::trackFromFile(MediaFixtures::copy(Fixture::TaggedM4a, home.file(QStringLiteral("x.m4a"))));
    EXPECT_EQ(m4a->name(), QStringLiteral("Evening Song"));
    EXPECT_EQ(m4a->artist(), QStringLiteral("The Band"));
    EXPECT_EQ(m4a->length(), 1u);
    const auto mov =
        QVTrack::trackFromFile(MediaFixtures::copy(Fixture::TaggedMov, home.file(QStringLiteral("x.mov"))));
    EXPECT_EQ(mov->artist(), QStringLiteral("Director"));
    const auto upper = QVTrack::trackFromFile(
        MediaFixtures::copy(Fixture::TaggedMp3, home.file(QStringLiteral("LOUD.MP3"))));
    EXPECT_EQ(upper->name(), QStringLiteral("Morning Song"));
    EXPECT_EQ(upper->length(), 2u);
}

TEST(QVTrack, ReadsOnceAndKeepsWhatItFound) {
    TempHome home;
    const QString path = MediaFixtures::copy(Fixture::TaggedMp3, home.file(QStringLiteral("t.mp3")));
    const auto track = QVTrack::trackFromFile(path);
    EXPECT_EQ(track->length(), 2u);
    QFile::remove(path);
    EXPECT_EQ(track->name(), QStringLiteral("Morning Song"));
    EXPECT_EQ(track->artist(), QStringLiteral("Zo\u00eb Keating"));
}

TEST(QVTrack, VanishedOrBrokenFilesGiveTheFallbacks) {
    TempHome home;
    const QString mp3 = MediaFixtures::copy(Fixture::TaggedMp3, home.file(QStringLiteral("Gone.mp3")));
    const QString m4a = MediaFixtures::copy(Fixture::TaggedM4a, home.file(QStringLiteral("Gone Too.m4a")));
    const auto goneMp3 = QVTrack::trackFromFile(mp3);
    const auto goneM4a = QVTrack::trackFromFile(m4a);
    const auto broken =
        QVTrack::trackFromFile(home.writeFile(QStringLiteral("Broken.ogg"), "OggS but not really"));
    QFile::remove(mp3);
    QFile::remove(m4a);
    for (const auto& [track, name] :
         {std::pair{goneMp3, "Gone"}, std::pair{goneM4a, "Gone Too"}, std::pair{broken, "Broken"}}) {
        EXPECT_EQ(track->name(), QString::fromUtf8(name));
        EXPECT_TRUE(track->artist().isNull());
        EXPECT_EQ(track->length(), QVTrack::UnknownLength);
    }
}

TEST(QVTrack, FifoNamedLikeATrackIsNeverOpened) {
    TempHome home;
    const QString fifo = home.file(QStringLiteral("Pipe.mp3"));
    ASSERT_EQ(mkfifo(Path::toNative(fifo).constData(), 0600), 0);
    const QString fifo2 = home.file(QStringLiteral("Pipe.m4a"));
    ASSERT_EQ(mkfifo(Path::toNative(fifo2).constData(), 0600), 0);
    // Reading would block for ever if the FIFO were opened.
    EXPECT_EQ(QVTrack(Path::fileUrl(fifo)).name(), QStringLiteral("Pipe"));
    EXPECT_EQ(QVTrack(Path::fileUrl(fifo2)).length(), QVTrack::UnknownLength);
}

TEST(QVTrack, KnownDisplayDataNeverReadsTheFile) {
    TempHome home;
    const QString path = MediaFixtures::copy(Fixture::TaggedMp3, home.file(QStringLiteral("t.mp3")));
    QVTrack track(QStringLiteral("Given"), QString(), 301, Path::fileUrl(path));
    EXPECT_EQ(track.name(), QStringLiteral("Given"));
    EXPECT_TRUE(track.artist().isNull());
    EXPECT_EQ(track.length(), 301u);
    EXPECT_FALSE(track.matchesFilter(QStringLiteral("Morning")));
}

TEST(QVTrack, FilterReadsTheTagsFirstAndTriesTitleThenArtist) {
    TempHome home;
    const QString path = MediaFixtures::copy(Fixture::TaggedMp3, home.file(QStringLiteral("t.mp3")));
    EXPECT_TRUE(QVTrack::trackFromFile(path)->matchesFilter(QStringLiteral("morning")));
    const auto track = QVTrack::trackFromFile(path);
    EXPECT_TRUE(track->matchesFilter(QStringLiteral("ZOE\u0308"))); // decomposed ë
    EXPECT_FALSE(track->matchesFilter(QStringLiteral("zoe")));
    EXPECT_FALSE(track->matchesFilter(QStringLiteral("t.mp3")));
    QVTrack noArtist(QStringLiteral("Title"), QString(), 1, QUrl());
    EXPECT_FALSE(noArtist.matchesFilter(QStringLiteral("x")));
    EXPECT_TRUE(noArtist.matchesFilter(QStringLiteral("itl")));
}

TEST(QVTrack, FileNamesThatAreNotUtf8AreReadThroughTheirBytes) {
    TempHome home;
    const QString odd = Path::fromNative(QByteArray(home.path().toUtf8() + "/caf\xe9.mp3"));
    MediaFixtures::copy(Fixture::TaggedMp3, odd);
    const auto track = QVTrack::trackFromFile(odd);
    EXPECT_EQ(track->name(), QStringLiteral("Morning Song"));
    EXPECT_EQ(Path::toNative(Path::localPath(track->url())), Path::toNative(odd));
    unlink(Path::toNative(odd).constData());
}

} // namespace
