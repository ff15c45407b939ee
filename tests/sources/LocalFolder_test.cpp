#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/system/FileSystem.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "sources/local/LocalFolder.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using MediaFixtures::Fixture;

namespace {

QStringList folderNames(MediaFolder& folder) {
    QStringList names;
    for (const auto& sub : folder.folders()) {
        names.append(sub->name());
    }
    return names;
}

QStringList itemNames(MediaFolder& folder) {
    QStringList names;
    for (const auto& item : folder.files()) {
        names.append(item->name());
    }
    return names;
}

// Binds a Unix socket at path; the socket file stays after the descriptor closes.
void makeSocket(const QString& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = Path::toNative(path);
    ASSERT_LT(native.size(), static_cast<qsizetype>(sizeof(address.sun_path)));
    memcpy(address.sun_path, native.constData(), native.size());
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
}

TEST(LocalFolder, MusicFolderListsVisibleSubFoldersAndRegularTracksOnly) {
    TempHome home;
    const QString root = home.makeDirectory(QStringLiteral("Music"));
    MediaFixtures::copy(Fixture::TaggedMp3, root + QStringLiteral("/a.mp3"));
    MediaFixtures::copy(Fixture::TaggedMp3, root + QStringLiteral("/.hidden.mp3"));
    home.makeDirectory(QStringLiteral("Music/Sub"));
    home.makeDirectory(QStringLiteral("Music/.git"));
    home.writeFile(QStringLiteral("Music/notes.txt"), "notes");
    home.writeFile(QStringLiteral("Music/cover.jpg"));
    QFile::link(root + QStringLiteral("/a.mp3"), root + QStringLiteral("/link.mp3"));
    QFile::link(root + QStringLiteral("/Sub"), root + QStringLiteral("/LinkedSub"));
    // A FIFO named like a track: opening it would block for ever.
    ASSERT_EQ(mkfifo(Path::toNative(root + QStringLiteral("/pipe.mp3")).constData(), 0600), 0);
    makeSocket(root + QStringLiteral("/socket.mp3"));

    const auto folder = LocalFolder::create(root, LocalFolder::Music);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->name(), QStringLiteral("Music"));
    EXPECT_EQ(folderNames(*folder), QStringList{QStringLiteral("Sub")});
    ASSERT_EQ(folder->files().size(), 1u);
    const auto track = std::dynamic_pointer_cast<QVTrack>(folder->files().front());
    ASSERT_TRUE(track);
    EXPECT_EQ(track->name(), QStringLiteral("Morning Song"));
    const auto sub = std::dynamic_pointer_cast<LocalFolder>(folder->folders().front());
    EXPECT_EQ(sub->type(), LocalFolder::Music);
    EXPECT_EQ(sub->parent(), folder.get());
    EXPECT_FALSE(sub->isLoaded());
}

TEST(LocalFolder, EachKindMakesItsOwnItemsInNameOrderAsAFileManagerSortsThem) {
    TempHome home;
    const QString root = home.makeDirectory(QStringLiteral("Mixed"));
    for (const char* name :
         {"img_10.jpg", "IMG_2.png", "img_1.PNG", "d.Jpg", "g.mp3", "f.m4a", "e.mov", "h.xml"}) {
        home.writeFile(QStringLiteral("Mixed/") + QString::fromUtf8(name));
    }
    for (const char* name : {"Zeta", "Mid 10", "alpha", "Mid 9"}) {
        home.makeDirectory(QStringLiteral("Mixed/") + QString::fromUtf8(name));
    }
    // Letter case ignored, numbers in numeric order, whatever order the directory lists them in.
    auto expected = [](const QStringList& inOrder) {
        return inOrder;
    };
    auto itemFiles = [](MediaFolder& folder) {
        QStringList names;
        for (const auto& item : folder.files()) {
            if (const auto photo = std::dynamic_pointer_cast<Photo>(item)) {
                names.append(Path::lastComponent(photo->path()));
            } else {
                names.append(Path::lastComponent(Path::localPath(item->url())));
            }
        }
        return names;
    };
    const auto pictures = LocalFolder::create(root, LocalFolder::Pictures);
    EXPECT_EQ(itemFiles(*pictures), expected({QStringLiteral("img_1.PNG"), QStringLiteral("IMG_2.png"),
                                              QStringLiteral("img_10.jpg")}));
    EXPECT_EQ(folderNames(*pictures), expected({QStringLiteral("alpha"), QStringLiteral("Mid 9"),
                                                QStringLiteral("Mid 10"), QStringLiteral("Zeta")}));
    const QStringList playable =
        expected({QStringLiteral("e.mov"), QStringLiteral("f.m4a"), QStringLiteral("g.mp3")});
    const auto music = LocalFolder::create(root, LocalFolder::Music);
    EXPECT_EQ(itemFiles(*music), playable);
    for (const auto& item : music->files()) {
        EXPECT_TRUE(std::dynamic_pointer_cast<QVTrack>(item));
    }
    const auto movies = LocalFolder::create(root, LocalFolder::Movies);
    EXPECT_EQ(itemFiles(*movies), playable);
    for (const auto& item : movies->files()) {
        EXPECT_TRUE(std::dynamic_pointer_cast<QVMovie>(item));
    }
    const auto other = LocalFolder::create(root, 5);
    EXPECT_TRUE(other->files().empty());
    EXPECT_EQ(other->folders().size(), 4u);
    EXPECT_FALSE(LocalFolder::makeItem(root + QStringLiteral("/img_10.jpg"), 5));
}

TEST(LocalFolder, LibraryDirectoriesAreLeftOutAndProjectsBecomeMovies) {
    TempHome home;
    const QString root = home.makeDirectory(QStringLiteral("Movies"));
    home.writeFile(QStringLiteral("Movies/iPhoto Library/AlbumData.xml"));
    home.writeFile(QStringLiteral("Movies/iTunes/iTunes Music Library.xml"));
    MediaFixtures::copy(Fixture::VideoOnlyMp4, root + QStringLiteral("/Film.iMovieProject/Film.mov"));
    home.writeFile(QStringLiteral("Movies/Old/Old.iMovieProj"));
    MediaFixtures::copy(Fixture::VideoOnlyMp4, root + QStringLiteral("/Old/Shared Movies/Full/Old.mov"));
    home.makeDirectory(QStringLiteral("Movies/Unexported.iMovieProject"));
    home.makeDirectory(QStringLiteral("Movies/Photos.2006"));

    EXPECT_EQ(LocalFolder::getFolderType(root + QStringLiteral("/iTunes")),
              LocalFolder::ITunesLibraryDirectory);
    EXPECT_EQ(LocalFolder::getFolderType(root + QStringLiteral("/iPhoto Library")),
              LocalFolder::IPhotoLibraryDirectory);
    EXPECT_EQ(LocalFolder::getFolderType(root + QStringLiteral("/Old")), LocalFolder::IMovieProject);
    EXPECT_EQ(LocalFolder::getFolderType(root + QStringLiteral("/Unexported.iMovieProject")),
              LocalFolder::IMovieProject);
    EXPECT_EQ(LocalFolder::getFolderType(root + QStringLiteral("/Photos.2006")),
              LocalFolder::OrdinaryDirectory);

    const auto movies = LocalFolder::create(root, LocalFolder::Movies);
    EXPECT_EQ(folderNames(*movies), QStringList{QStringLiteral("Photos")});
    QStringList names = itemNames(*movies);
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Film"), QStringLiteral("Old")}));

    const auto pictures = LocalFolder::create(root, LocalFolder::Pictures);
    EXPECT_EQ(folderNames(*pictures), QStringList{QStringLiteral("Photos")});
    EXPECT_TRUE(pictures->files().empty());
}

TEST(LocalFolder, ExpandabilityCountsAnyDirectoryWithoutLoading) {
    TempHome home;
    const QString root = home.makeDirectory(QStringLiteral("Pictures"));
    home.makeDirectory(QStringLiteral("Pictures/.thumbnails"));
    home.writeFile(QStringLiteral("Pictures/a.jpg"));
    const auto folder = LocalFolder::create(root, LocalFolder::Pictures);
    EXPECT_TRUE(folder->isExpandable());
    EXPECT_FALSE(folder->isLoaded());
    EXPECT_TRUE(folder->folders().empty());
    EXPECT_FALSE(folder->isExpandable());

    home.makeDirectory(QStringLiteral("Flat"));
    QFile::link(root, home.file(QStringLiteral("Flat/link")));
    EXPECT_FALSE(
        LocalFolder::create(home.file(QStringLiteral("Flat")), LocalFolder::Pictures)->isExpandable());
}

TEST(LocalFolder, CreationNeedsSomethingAtThePathAndExpandsTilde) {
    TempHome home;
    home.makeDirectory(QStringLiteral("Pictures/Holiday.2006"));
    const auto folder = LocalFolder::create(QStringLiteral("~/Pictures/Holiday.2006"), LocalFolder::Pictures);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path(), home.file(QStringLiteral("Pictures/Holiday.2006")));
    EXPECT_EQ(folder->name(), QStringLiteral("Holiday"));
    EXPECT_FALSE(LocalFolder::create(QStringLiteral("~/Nothing"), LocalFolder::Pictures));
    // A file is something: the folder simply lists nothing.
    const auto file = LocalFolder::create(home.writeFile(QStringLiteral("plain.txt")), LocalFolder::Pictures);
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->isExpandable());
    EXPECT_TRUE(file->isEmpty());
}

TEST(LocalFolder, DirectoryRemovedBeforeLoadingLoadsEmptyAndSilently) {
    TempHome home;
    const QString root = home.makeDirectory(QStringLiteral("Going"));
    home.makeDirectory(QStringLiteral("Going/Sub"));
    home.writeFile(QStringLiteral("Going/a.jpg"));
    const auto folder = LocalFolder::create(root, LocalFolder::Pictures);
    QDir(root).removeRecursively();
    int posts = 0;
    NotificationCenter::defaultCenter().addObserver(&posts, MediaFolderFilesChanged, nullptr,
                                                    [&](const Notification&) { ++posts; });
    EXPECT_FALSE(folder->isExpandable());
    EXPECT_TRUE(folder->isEmpty());
    NotificationCenter::defaultCenter().removeObserver(&posts);
    EXPECT_EQ(posts, 0);
}

TEST(LocalFolder, NamesThatAreNotUtf8SurviveListing) {
    TempHome home;
    const QString root = home.makeDirectory(QStringLiteral("Music"));
    const QString odd = Path::fromNative(Path::toNative(root) + "/caf\xe9.mp3");
    MediaFixtures::copy(Fixture::TaggedMp3, odd);
    const auto folder = LocalFolder::create(root, LocalFolder::Music);
    ASSERT_EQ(folder->files().size(), 1u);
    EXPECT_EQ(folder->files().front()->name(), QStringLiteral("Morning Song"));
    EXPECT_EQ(Path::toNative(Path::localPath(folder->files().front()->url())), Path::toNative(odd));
    unlink(Path::toNative(odd).constData());
}

} // namespace
