#include "model/QVMedia.h"
#include "platform/system/NotificationCenter.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "sources/local/LocalFolder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kEmptyCatalogue = "<plist><dict/></plist>";

// The window's three roots and the object that fills them.
struct Roots {
    MediaFolderPtr photos = std::make_shared<MediaFolder>();
    MediaFolderPtr music = std::make_shared<MediaFolder>();
    MediaFolderPtr movies = std::make_shared<MediaFolder>();
    QVMedia media;
    Roots() {
        media.setPhotos(photos);
        media.setMusic(music);
        media.setMovies(movies);
    }
};

// "Kind name" of each sub-folder, e.g. "LocalFolder Music".
QStringList describe(const MediaFolderPtr& root) {
    QStringList result;
    for (const auto& folder : root->folders()) {
        const char* kind = std::dynamic_pointer_cast<IPhotoFolder>(folder)   ? "IPhotoFolder"
                           : std::dynamic_pointer_cast<ITunesFolder>(folder) ? "ITunesFolder"
                           : std::dynamic_pointer_cast<LocalFolder>(folder)  ? "LocalFolder"
                                                                             : "MediaFolder";
        result.append(QLatin1String(kind) + QLatin1Char(' ') + folder->name());
    }
    return result;
}

void setPaths(const QStringList& pictures, const QStringList& music, const QStringList& movies) {
    UserPreferences* preferences = UserPreferences::sharedPreferences();
    preferences->setPicturePaths(pictures);
    preferences->setMusicPaths(music);
    preferences->setMoviePaths(movies);
}

void setDefaultPaths() {
    setPaths({QStringLiteral("~/Pictures")}, {QStringLiteral("~/Music")}, {QStringLiteral("~/Movies")});
}

TEST(QVMedia, DefaultPreferencesWithBothLibraries) {
    TempHome home;
    home.writeFile(QStringLiteral("Pictures/iPhoto Library/AlbumData.xml"), kEmptyCatalogue);
    home.writeFile(QStringLiteral("Music/iTunes/iTunes Music Library.xml"), kEmptyCatalogue);
    home.makeDirectory(QStringLiteral("Movies"));
    setDefaultPaths();

    Roots roots;
    roots.media.awakeFromNib();
    EXPECT_EQ(describe(roots.photos), QStringList({"IPhotoFolder iPhoto", "LocalFolder Pictures"}));
    EXPECT_EQ(describe(roots.music), QStringList({"ITunesFolder iTunes", "LocalFolder Music"}));
    EXPECT_EQ(describe(roots.movies), QStringList({"ITunesFolder iTunes", "LocalFolder Movies"}));

    const auto iPhoto = std::dynamic_pointer_cast<IPhotoFolder>(roots.photos->folders()[0]);
    EXPECT_EQ(iPhoto->pList(), home.file(QStringLiteral("Pictures/iPhoto Library/AlbumData.xml")));
    const auto music = std::dynamic_pointer_cast<ITunesFolder>(roots.music->folders()[0]);
    EXPECT_TRUE(music->includeEmpty());
    EXPECT_FALSE(music->videoOnly());
    const auto movies = std::dynamic_pointer_cast<ITunesFolder>(roots.movies->folders()[0]);
    EXPECT_FALSE(movies->includeEmpty());
    EXPECT_TRUE(movies->videoOnly());
    EXPECT_NE(music, movies);
    EXPECT_FALSE(music->isLoaded()) << "library folders load only when first shown";
    EXPECT_EQ(std::dynamic_pointer_cast<LocalFolder>(roots.music->folders()[1])->type(), LocalFolder::Music);
    EXPECT_EQ(std::dynamic_pointer_cast<LocalFolder>(roots.movies->folders()[1])->type(),
              LocalFolder::Movies);
}

TEST(QVMedia, MissingLibrariesAndPathsThatAreNoDirectory) {
    TempHome home;
    home.makeDirectory(QStringLiteral("Pictures/Holiday"));
    const QString file = home.writeFile(QStringLiteral("Pictures/notes.txt"), "text");
    const QString absolute = home.makeDirectory(QStringLiteral("Elsewhere/Scans"));
    // A directory where the catalogue should be still counts as a library, which loads empty.
    home.makeDirectory(QStringLiteral("Pictures/iPhoto Library/AlbumData.xml"));
    setPaths({QStringLiteral("~/Pictures/Holiday"), file, QStringLiteral("~/missing"), absolute,
              QStringLiteral("~/Pictures/Holiday")},
             {}, {QStringLiteral("~/Movies")});

    Roots roots;
    roots.media.awakeFromNib();
    EXPECT_EQ(describe(roots.photos), QStringList({"IPhotoFolder iPhoto", "LocalFolder Holiday",
                                                   "LocalFolder Scans", "LocalFolder Holiday"}));
    EXPECT_TRUE(roots.photos->folders()[0]->files().empty());
    EXPECT_TRUE(roots.music->folders().empty());
    EXPECT_TRUE(roots.movies->folders().empty());
    const auto holiday = std::dynamic_pointer_cast<LocalFolder>(roots.photos->folders()[1]);
    EXPECT_EQ(holiday->path(), home.file(QStringLiteral("Pictures/Holiday")));
    EXPECT_NE(roots.photos->folders()[1], roots.photos->folders()[3]) << "duplicates are two folders";
}

TEST(QVMedia, RebuildsTheSameRootsOnEveryPreferenceChange) {
    TempHome home;
    home.makeDirectory(QStringLiteral("Music"));
    home.makeDirectory(QStringLiteral("Records"));
    setDefaultPaths();

    Roots roots;
    roots.media.awakeFromNib();
    ASSERT_EQ(describe(roots.music), QStringList({"LocalFolder Music"}));
    const MediaFolderPtr before = roots.music->folders()[0];

    int rootChanges = 0;
    NotificationCenter::defaultCenter().addObserver(&rootChanges, MediaFolderSubFoldersChanged,
                                                    roots.music.get(),
                                                    [&](const Notification&) { ++rootChanges; });
    UserPreferences::sharedPreferences()->setMusicPaths(
        {QStringLiteral("~/Records"), QStringLiteral("~/Music")});
    EXPECT_GT(rootChanges, 0) << "watchers of a root hear the rebuild";
    NotificationCenter::defaultCenter().removeObserver(&rootChanges);
    EXPECT_EQ(describe(roots.music), QStringList({"LocalFolder Records", "LocalFolder Music"}));
    EXPECT_NE(roots.music->folders()[1], before) << "every rebuild makes new folders";
    EXPECT_EQ(roots.music->folders()[1]->parent(), roots.music.get());

    // A catalogue that appears later shows up at the next change, wherever it comes from.
    home.writeFile(QStringLiteral("Music/iTunes/iTunes Music Library.xml"), kEmptyCatalogue);
    EXPECT_EQ(describe(roots.movies), QStringList());
    NotificationCenter::defaultCenter().postNotification(UserPreferencesChanged, nullptr);
    EXPECT_EQ(describe(roots.music),
              QStringList({"ITunesFolder iTunes", "LocalFolder Records", "LocalFolder Music"}));
    EXPECT_EQ(describe(roots.movies), QStringList({"ITunesFolder iTunes"}));
}

} // namespace
