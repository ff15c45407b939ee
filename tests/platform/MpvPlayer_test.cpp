#include "platform/media/MpvPlayer.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/stat.h>

using MediaFixtures::Fixture;

namespace {

const MpvPlayer::Options kSilent{"null", "null"};

// Counts QVMovieDidEnd notifications about one player (or any, with null).
struct EndCounter {
    explicit EndCounter(const MoviePlayer* player) {
        NotificationCenter::defaultCenter().addObserver(this, QVMovieDidEnd, player,
                                                        [this](const Notification&) { ++ends; });
    }
    ~EndCounter() { NotificationCenter::defaultCenter().removeObserver(this); }
    int ends = 0;
};

TEST(MpvPlayer, PlaysToTheEndAndPostsOnceOnTheMainThread) {
    auto player = MpvPlayer::create(Path::fileUrl(MediaFixtures::path(Fixture::UntaggedMp3)), kSilent);
    ASSERT_TRUE(player);
    EndCounter counter(player.get());
    EXPECT_FALSE(player->isPlaying());
    player->play();
    EXPECT_TRUE(player->isPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.ends > 0; }, 10000));
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(player->failed());
    QTest::qWait(200);
    EXPECT_EQ(counter.ends, 1);
}

TEST(MpvPlayer, StoppedMovieDoesNotReachItsEnd) {
    auto player = MpvPlayer::create(Path::fileUrl(MediaFixtures::path(Fixture::TaggedMp3)), kSilent);
    ASSERT_TRUE(player);
    EndCounter counter(player.get());
    player->play();
    player->stop();
    EXPECT_FALSE(player->isPlaying());
    QTest::qWait(2500); // longer than the two-second file
    EXPECT_EQ(counter.ends, 0);
    player->play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.ends > 0; }, 10000));
}

TEST(MpvPlayer, AudioOnlyMovieStillEnds) {
    auto player = MpvPlayer::create(Path::fileUrl(MediaFixtures::path(Fixture::TaggedMov)), kSilent);
    ASSERT_TRUE(player);
    EndCounter counter(player.get());
    player->setAudioOnly(true);
    player->play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.ends > 0; }, 10000));
}

TEST(MpvPlayer, ObserverMayDestroyThePlayerAtItsEnd) {
    auto player = MpvPlayer::create(Path::fileUrl(MediaFixtures::path(Fixture::UntaggedMp3)), kSilent);
    ASSERT_TRUE(player);
    int ends = 0;
    NotificationCenter::defaultCenter().addObserver(&ends, QVMovieDidEnd, player.get(),
                                                    [&](const Notification&) {
                                                        ++ends;
                                                        player.reset();
                                                    });
    player->play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ends > 0; }, 10000));
    EXPECT_FALSE(player);
    NotificationCenter::defaultCenter().removeObserver(&ends);
}

// Files a user meets that mpv opens but cannot play: each ends its playback
// like a file played through, so that a queue moves on.
TEST(MpvPlayer, FilesThatFailToLoadOrDecodeEndLikeAnyOther) {
    TempHome home;
    QFile mov(MediaFixtures::path(Fixture::TaggedMov));
    ASSERT_TRUE(mov.open(QIODevice::ReadOnly));
    QFile jpeg(MediaFixtures::path(Fixture::Jpeg));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    const QStringList broken = {
        home.writeFile(QStringLiteral("empty.mp3")),
        home.writeFile(QStringLiteral("picture.m4a"), jpeg.readAll()),
        home.writeFile(QStringLiteral("truncated.mov"), mov.read(mov.size() / 3)),
    };
    for (const QString& path : broken) {
        SCOPED_TRACE(path.toStdString());
        auto player = MpvPlayer::create(Path::fileUrl(path), kSilent);
        ASSERT_TRUE(player);
        EndCounter counter(player.get());
        player->setAudioOnly(true);
        player->play();
        EXPECT_TRUE(QTest::qWaitFor([&] { return counter.ends > 0; }, 10000));
        EXPECT_FALSE(player->isPlaying());
        // Unlike an end reached by playing, so the list can say the file cannot be played.
        EXPECT_TRUE(player->failed());
    }
}

TEST(MpvPlayer, RefusesWhatIsNotALocalRegularFile) {
    TempHome home;
    const QString fifo = home.file(QStringLiteral("pipe.mp3"));
    ASSERT_EQ(mkfifo(Path::toNative(fifo).constData(), 0600), 0);
    EXPECT_FALSE(MpvPlayer::create(Path::fileUrl(fifo), kSilent));
    EXPECT_FALSE(MpvPlayer::create(Path::fileUrl(home.file(QStringLiteral("missing.mp3"))), kSilent));
    EXPECT_FALSE(MpvPlayer::create(QUrl(QStringLiteral("http://example.org/a.mp3")), kSilent));
}

} // namespace
