#include "ChildProcess.h"
#include "HostileHome.h"
#include "iconview/ThumbnailDecoder.h"
#include "model/Photo.h"
#include "model/QVMedia.h"
#include "model/QVTrack.h"
#include "model/TrackMetaData.h"
#include "platform/media/Id3Reader.h"
#include "platform/media/MoviePoster.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"
#include "sources/local/LocalFolder.h"
#include "support/MediaFixtures.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using MediaFixtures::Fixture;

namespace {

void makeFifo(const QString& path) {
    ASSERT_EQ(mkfifo(Path::toNative(path).constData(), 0600), 0);
}

// A listening socket bound at path; it stays until the test process ends.
void makeSocket(const QString& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = Path::toNative(path);
    ASSERT_LT(static_cast<std::size_t>(native.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(fd, 1), 0);
}

void makeLink(const QString& target, const QString& path) {
    ASSERT_EQ(symlink(Path::toNative(target).constData(), Path::toNative(path).constData()), 0);
}

QStringList names(const std::vector<MediaItemPtr>& items) {
    QStringList result;
    for (const MediaItemPtr& item : items) {
        result.append(item->name());
    }
    result.sort();
    return result;
}

class BadFolders : public HostileHome {};

// FIFOs, sockets and links that loop, named like media, sit beside one real
// file of each kind: only the real files become items, nothing is opened
// that could block, and asking for their pictures and tags answers at once.
TEST_F(BadFolders, SpecialFilesAndLinkLoopsAreNotItems) {
    const struct {
        LocalFolder::FolderType type;
        const char* directory;
        const char* suffix;
        Fixture real;
    } kinds[] = {{LocalFolder::Pictures, "Pictures", "jpg", Fixture::Jpeg},
                 {LocalFolder::Music, "Music", "mp3", Fixture::TaggedMp3},
                 {LocalFolder::Movies, "Movies", "mp4", Fixture::VideoOnlyMp4}};
    for (const auto& kind : kinds) {
        const QString directory = _home.makeDirectory(QLatin1String(kind.directory));
        const QString suffix = QLatin1String(kind.suffix);
        MediaFixtures::copy(kind.real, directory + QStringLiteral("/real.") + suffix);
        makeFifo(directory + QStringLiteral("/fifo.") + suffix);
        makeSocket(directory + QStringLiteral("/s.") + suffix);
        makeLink(QStringLiteral("loop.") + suffix, directory + QStringLiteral("/loop.") + suffix);
        makeLink(QStringLiteral(".."), directory + QStringLiteral("/up"));
        makeLink(QStringLiteral("down"), directory + QStringLiteral("/down"));
    }
    // The user's folder list names a link that loops, and a FIFO.
    makeLink(QStringLiteral("Loop"), _home.file(QStringLiteral("Loop")));
    makeFifo(_home.file(QStringLiteral("Pipe")));
    snapshot();

    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.directory);
        auto folder = LocalFolder::create(_home.file(QLatin1String(kind.directory)), kind.type);
        ASSERT_TRUE(folder);
        const qint64 elapsed = millisecondsOf([&] {
            EXPECT_EQ(loadEverything(folder).folders, 0);
            const char* name = kind.type == LocalFolder::Pictures ? "real"
                               : kind.type == LocalFolder::Music  ? "Morning Song"
                                                                  : "real.mp4";
            EXPECT_EQ(names(folder->files()), QStringList{QLatin1String(name)});
            // The readers, handed the special files directly, refuse them at once.
            for (const char* name : {"fifo.", "s.", "loop."}) {
                const QString path = _home.file(QLatin1String(kind.directory) + QLatin1Char('/') +
                                                QLatin1String(name) + QLatin1String(kind.suffix));
                EXPECT_TRUE(ThumbnailDecoder::uprightSize(path).isEmpty());
                EXPECT_TRUE(ThumbnailDecoder::decode(path, QSize(32, 32), QSize(32, 32)).isNull());
                EXPECT_TRUE(Id3Reader::read(path).title.isNull());
                EXPECT_EQ(MovieMetaData(Path::fileUrl(path)).length, -1);
                EXPECT_TRUE(MoviePoster::posterImage(path, QSize(32, 32)).isNull());
            }
        });
        EXPECT_LT(elapsed, kMainThreadBudgetMs);
    }

    UserPreferences::sharedPreferences()->picturePaths() = {
        QStringLiteral("~/Loop"), QStringLiteral("~/Pipe"), QStringLiteral("~/Pictures")};
    QVMedia media;
    media.setPhotos(std::make_shared<MediaFolder>());
    media.prefsChanged();
    ASSERT_EQ(media.photos()->folders().size(), 1u);
    EXPECT_EQ(media.photos()->folders()[0]->files().size(), 1u);
}

// A directory the user may not read shows as an empty folder beside its
// readable sisters. Permission bits do not bind root, so the folder is read
// in a child process that runs as an ordinary user when the tests run as root.
TEST_F(BadFolders, UnreadableDirectoryIsAnEmptyFolder) {
    MediaFixtures::copy(Fixture::Jpeg, _home.file(QStringLiteral("Pictures/Open/a.jpg")));
    MediaFixtures::copy(Fixture::Jpeg, _home.file(QStringLiteral("Pictures/Locked/b.jpg")));
    _home.makeDirectory(QStringLiteral("Pictures/Locked/Inside"));
    ChildProcess::giveToUnprivileged(_home.path());
    ASSERT_EQ(chmod(Path::toNative(_home.file(QStringLiteral("Pictures/Locked"))).constData(), 0), 0);
    snapshot();

    const QString root = _home.file(QStringLiteral("Pictures"));
    const int result = ChildProcess::run(
        [&] {
            auto folder = LocalFolder::create(root, LocalFolder::Pictures);
            if (!folder || folder->folders().size() != 2) {
                return 1;
            }
            for (const MediaFolderPtr& child : folder->folders()) {
                const bool locked = child->name() == QLatin1String("Locked");
                if (child->files().size() != (locked ? 0u : 1u) || !child->folders().empty()) {
                    return 2;
                }
                if (locked && child->isExpandable()) {
                    return 3;
                }
            }
            return 0;
        },
        {.unprivileged = true});
    EXPECT_EQ(result, 0);
    expectNothingWritten();
    chmod(Path::toNative(_home.file(QStringLiteral("Pictures/Locked"))).constData(), 0700);
}

// Folders and files that vanish between being listed and being opened: the
// folders come out empty and the items answer with what their names say.
TEST_F(BadFolders, FolderThatDisappearsWhileListed) {
    MediaFixtures::copy(Fixture::Jpeg, _home.file(QStringLiteral("Pictures/Stays/a.jpg")));
    MediaFixtures::copy(Fixture::Jpeg, _home.file(QStringLiteral("Pictures/Goes/b.jpg")));
    _home.makeDirectory(QStringLiteral("Pictures/Goes/Deeper"));
    MediaFixtures::copy(Fixture::TaggedMp3, _home.file(QStringLiteral("Music/gone.mp3")));
    MediaFixtures::copy(Fixture::TaggedMov, _home.file(QStringLiteral("Movies/gone.mov")));

    auto pictures = LocalFolder::create(_home.file(QStringLiteral("Pictures")), LocalFolder::Pictures);
    auto music = LocalFolder::create(_home.file(QStringLiteral("Music")), LocalFolder::Music);
    auto movies = LocalFolder::create(_home.file(QStringLiteral("Movies")), LocalFolder::Movies);
    ASSERT_EQ(pictures->folders().size(), 2u);
    ASSERT_EQ(music->files().size(), 1u);
    ASSERT_EQ(movies->files().size(), 1u);
    ASSERT_TRUE(QDir(_home.file(QStringLiteral("Pictures/Goes"))).removeRecursively());
    ASSERT_TRUE(QFile::remove(_home.file(QStringLiteral("Music/gone.mp3"))));
    ASSERT_TRUE(QFile::remove(_home.file(QStringLiteral("Movies/gone.mov"))));
    snapshot();

    for (const MediaFolderPtr& child : pictures->folders()) {
        const bool gone = child->name() == QLatin1String("Goes");
        EXPECT_EQ(child->files().size(), gone ? 0u : 1u);
        EXPECT_TRUE(child->folders().empty());
    }
    EXPECT_EQ(music->files()[0]->name(), QStringLiteral("gone"));
    EXPECT_EQ(std::static_pointer_cast<QVTrack>(music->files()[0])->length(), QVTrack::UnknownLength);
    EXPECT_EQ(movies->files()[0]->name(), QStringLiteral("gone.mov"));
    EXPECT_TRUE(
        MoviePoster::posterImage(_home.file(QStringLiteral("Movies/gone.mov")), QSize(32, 32)).isNull());

    // The whole folder goes after it was made, before it is opened.
    auto vanishing = LocalFolder::create(_home.file(QStringLiteral("Pictures/Stays")), LocalFolder::Pictures);
    ASSERT_TRUE(QDir(_home.file(QStringLiteral("Pictures/Stays"))).removeRecursively());
    snapshot();
    EXPECT_FALSE(vanishing->isExpandable());
    EXPECT_TRUE(vanishing->files().empty());
}

// Names with bytes that are not UTF-8, a line break, "#", "%" and "?" list,
// show their names, and open through their URLs as the very same files.
TEST_F(BadFolders, FileNamesWithAwkwardCharacters) {
    const QByteArray stems[] = {"caf\xE9", "two\nlines", "take #1", "100%", "why?", "%41%2F"};
    const struct {
        LocalFolder::FolderType type;
        const char* directory;
        const char* suffix;
        Fixture fixture;
    } kinds[] = {{LocalFolder::Pictures, "Pictures", "jpg", Fixture::Jpeg},
                 {LocalFolder::Music, "Music", "m4a", Fixture::TaggedM4a},
                 {LocalFolder::Movies, "Movies", "mov", Fixture::TaggedMov}};
    for (const auto& kind : kinds) {
        for (const QByteArray& stem : stems) {
            MediaFixtures::copy(kind.fixture, _home.file(QLatin1String(kind.directory)) + QLatin1Char('/') +
                                                  Path::fromNative(stem + '.' + kind.suffix));
        }
    }
    snapshot();

    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.directory);
        auto folder = LocalFolder::create(_home.file(QLatin1String(kind.directory)), kind.type);
        ASSERT_EQ(folder->files().size(), std::size(stems));
        for (const MediaItemPtr& item : folder->files()) {
            const QString path = kind.type == LocalFolder::Pictures
                                     ? std::static_pointer_cast<Photo>(item)->path()
                                     : Path::localPath(item->url());
            // Pictures are dragged out as file URLs of their paths.
            EXPECT_EQ(Path::localPath(Path::fileUrl(path)), path);
            ASSERT_TRUE(FileSystem::isRegularFile(path)) << path.toStdString();
            const QByteArray stem = Path::toNative(Path::deletingExtension(Path::lastComponent(path)));
            EXPECT_NE(std::find(std::begin(stems), std::end(stems), stem), std::end(stems));
            switch (kind.type) {
            case LocalFolder::Pictures:
                EXPECT_EQ(item->name(), Path::fromNative(stem));
                EXPECT_FALSE(
                    ThumbnailDecoder::decode(path, QSize(16, 12), ThumbnailDecoder::uprightSize(path))
                        .isNull());
                break;
            case LocalFolder::Music:
                EXPECT_EQ(item->name(), QStringLiteral("Evening Song"));
                break;
            default:
                EXPECT_EQ(item->name(), QStringLiteral("Holiday Clip"));
                EXPECT_FALSE(MoviePoster::posterImage(path, QSize(32, 32)).isNull());
                break;
            }
        }
    }
}

} // namespace
