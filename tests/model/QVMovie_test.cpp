#include "model/QVMovie.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>

using MediaFixtures::Fixture;

namespace {

TEST(QVMovie, NamedByTitleOrElseByFileNameWithExtension) {
    TempHome home;
    const auto titled =
        QVMovie::movieFromFile(MediaFixtures::copy(Fixture::TaggedMov, home.file(QStringLiteral("a.mov"))));
    ASSERT_TRUE(titled);
    EXPECT_EQ(titled->name(), QStringLiteral("Holiday Clip"));
    const auto untitled = QVMovie::movieFromFile(
        MediaFixtures::copy(Fixture::VideoOnlyMp4, home.file(QStringLiteral("Trip.mp4"))));
    EXPECT_EQ(untitled->name(), QStringLiteral("Trip.mp4"));
    const QString gonePath = MediaFixtures::copy(Fixture::TaggedMov, home.file(QStringLiteral("Gone.mov")));
    const auto gone = QVMovie::movieFromFile(gonePath);
    QFile::remove(gonePath);
    EXPECT_EQ(gone->name(), QStringLiteral("Gone.mov"));
    EXPECT_EQ(Path::localPath(gone->url()), gonePath);
    EXPECT_FALSE(QVMovie::movieFromFile(home.file(QStringLiteral("a.png"))));
    EXPECT_FALSE(QVMovie::movieFromFile(home.file(QStringLiteral("a.xml"))));
}

TEST(QVMovie, NameIsFoundOnceAndFilterUsesIt) {
    TempHome home;
    const QString path = MediaFixtures::copy(Fixture::TaggedMov, home.file(QStringLiteral("a.mov")));
    QVMovie movie(Path::fileUrl(path));
    EXPECT_TRUE(movie.matchesFilter(QStringLiteral("CLIP")));
    QFile::remove(path);
    EXPECT_EQ(movie.name(), QStringLiteral("Holiday Clip"));
    EXPECT_FALSE(movie.matchesFilter(QStringLiteral("a.mov")));
    const QString fifo = home.file(QStringLiteral("Pipe.mov"));
    ASSERT_EQ(mkfifo(Path::toNative(fifo).constData(), 0600), 0);
    EXPECT_EQ(QVMovie(Path::fileUrl(fifo)).name(), QStringLiteral("Pipe.mov"));
}

TEST(QVMovie, IMovieProjectGivesTheMovieExportedBesideOrUnderSharedMovies) {
    TempHome home;
    const QString beside = home.makeDirectory(QStringLiteral("Holiday.iMovieProject"));
    const QString besideMovie =
        MediaFixtures::copy(Fixture::VideoOnlyMp4, beside + QStringLiteral("/Holiday.mov"));
    home.writeFile(QStringLiteral("Holiday.iMovieProject/Holiday.iMovieProj"));
    const auto movie = QVMovie::createWithIMovie(beside);
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->name(), QStringLiteral("Holiday"));
    EXPECT_EQ(Path::localPath(movie->url()), besideMovie);

    const QString shared = home.makeDirectory(QStringLiteral("Trip.iMovieProject"));
    home.writeFile(QStringLiteral("Trip.iMovieProject/Trip.iMovieProj"));
    home.makeDirectory(QStringLiteral("Trip.iMovieProject/Trip")); // a directory is no movie
    home.makeDirectory(QStringLiteral("Trip.iMovieProject/Shared Movies/Empty"));
    const QString sharedMovie =
        MediaFixtures::copy(Fixture::VideoOnlyMp4, shared + QStringLiteral("/Shared Movies/iPod/Trip.m4v"));
    const auto sharedFound = QVMovie::createWithIMovie(shared);
    ASSERT_TRUE(sharedFound);
    EXPECT_EQ(sharedFound->name(), QStringLiteral("Trip"));
    EXPECT_EQ(Path::localPath(sharedFound->url()), sharedMovie);
}

TEST(QVMovie, IMovieProjectWithoutExportedMovieGivesNothing) {
    TempHome home;
    const QString project = home.makeDirectory(QStringLiteral("Empty.iMovieProject"));
    home.writeFile(QStringLiteral("Empty.iMovieProject/Empty.iMovieProj"));
    const QString fifo = project + QStringLiteral("/Empty.mov");
    ASSERT_EQ(mkfifo(Path::toNative(fifo).constData(), 0600), 0);
    EXPECT_FALSE(QVMovie::createWithIMovie(project));
    EXPECT_FALSE(QVMovie::createWithIMovie(home.file(QStringLiteral("Missing.iMovieProject"))));
}

TEST(QVMovie, FolderContainsFileMatchesTheBaseNameExactly) {
    TempHome home;
    const QString dir = home.makeDirectory(QStringLiteral("d"));
    home.writeFile(QStringLiteral("d/Film.iMovieProj"));
    home.writeFile(QStringLiteral("d/film.mov"));
    home.writeFile(QStringLiteral("d/Film.mov.bak"));
    EXPECT_TRUE(QVMovie::folderContainsFile(dir, QStringLiteral("Film")).isNull());
    const QString exact = home.writeFile(QStringLiteral("d/Film"));
    EXPECT_EQ(QVMovie::folderContainsFile(dir, QStringLiteral("Film")), exact);
    EXPECT_TRUE(
        QVMovie::folderContainsFile(home.file(QStringLiteral("none")), QStringLiteral("Film")).isNull());
}

} // namespace
