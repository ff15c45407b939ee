#include "model/Photo.h"
#include "model/QVMedia.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/DarktableFolder.h"
#include "sources/catalogues/DarktableReader.h"
#include "support/CatalogueOutline.h"
#include "support/CatalogueSchemas.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <QCryptographicHash>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using CatalogueOutline::groups;
using CatalogueOutline::items;

// Five pictures in two film rolls: a five-star picture, one rejected the way
// darktable 3.0 onwards marks it, one rated 6 (rejected before 3.0), a
// two-star picture with two colour labels, and an unrated one elsewhere.
QString pictures(const QString& roll1, const QString& roll2) {
    return QStringLiteral(
               "INSERT INTO film_rolls (id, folder) VALUES (1, '%1'), (2, '%2');"
               "INSERT INTO images (id, film_id, filename, flags) VALUES"
               " (1, 1, 'b.cr2', 5), (2, 1, 'c.cr2', 11), (3, 1, 'd.cr2', 6), (4, 1, 'a.jpg', 2),"
               " (5, 2, 'e.nef', 0);"
               "INSERT INTO color_labels (imgid, color) VALUES (4, 0), (4, 3), (2, 1), (9, 2);"
               "INSERT INTO tagged_images (imgid, tagid) VALUES (1, 1), (4, 1), (4, 3), (2, 3), (5, 2),"
               " (1, 4);")
        .arg(roll1, roll2);
}

const char kTags[] =
    "INSERT INTO tags (id, name) VALUES (1, 'places|France|Paris'), (2, 'darktable|format|nef'),"
    " (3, 'people'), (4, 'places|France');";

// darktable's cache of one library: named by the SHA-1 of the library's path.
QString mipmaps(const TempHome& home, const QString& library) {
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(library), QCryptographicHash::Sha1).toHex();
    return home.makeDirectory(
        QStringLiteral(".cache/darktable/mipmaps-%1.d/2").arg(QString::fromLatin1(hash)));
}

TEST(DarktableFolder, ShowsRollsTagsLabelsAndRatingsWithoutTheRejected) {
    TempHome home;
    UserPreferences::sharedPreferences()->setPicturePaths({});
    const QString roll1 = home.makeDirectory(QStringLiteral("Pictures/2026/Trip"));
    const QString roll2 = home.makeDirectory(QStringLiteral("Pictures/2025/Home"));
    home.makeDirectory(QStringLiteral(".config/darktable"));
    const QString library = home.file(QStringLiteral(".config/darktable/library.db"));
    SqliteFixture::execute(library, CatalogueSchemas::darktableLibrary() + pictures(roll1, roll2));
    SqliteFixture::execute(home.file(QStringLiteral(".config/darktable/data.db")),
                           CatalogueSchemas::darktableData() + QLatin1String(kTags));
    const QString cache = mipmaps(home, library);
    home.writeFile(cache.mid(home.path().size() + 1) + QStringLiteral("/1.jpg"), "jpeg");

    auto photos = std::make_shared<MediaFolder>();
    QVMedia media;
    media.setPhotos(photos);
    media.awakeFromNib();
    ASSERT_EQ(photos->folders().size(), 1u);
    EXPECT_EQ(photos->folders()[0]->name(), QStringLiteral("darktable"));

    const CatalogueContents contents =
        std::static_pointer_cast<DarktableFolder>(photos->folders()[0])->readCatalogue();
    // By roll folder, then file name; rejected pictures (either way) left out.
    EXPECT_EQ(items(contents.items),
              (QStringList{"e|" + roll2 + "/e.nef", "a|" + roll1 + "/a.jpg", "b|" + roll1 + "/b.cr2"}));
    // The roll's group, and darktable's own thumbnail where the cache has it.
    EXPECT_EQ(std::static_pointer_cast<Photo>(contents.items[2])->thumbPath(),
              cache + QStringLiteral("/1.jpg"));
    EXPECT_EQ(std::static_pointer_cast<Photo>(contents.items[1])->thumbPath(),
              roll1 + QStringLiteral("/a.jpg"));
    // darktable's own tags (formats and the like) are not the user's.
    EXPECT_EQ(groups(contents.groups), QStringLiteral("Film Rolls[0](Home[1],Trip[2]),"
                                                      "Tags[0](people[1],places[0](France[1](Paris[2]))),"
                                                      "Colour Labels[0](Red[1],Blue[1]),"
                                                      "Ratings[0](★★★★★[1],★★[1])"));
    EXPECT_EQ(contents.groups[0].groups[1].id, QStringLiteral("1"));
}

// darktable 1.x kept its tags in the library and dates as text; the rating
// 6 was its mark for rejected pictures.
TEST(DarktableFolder, ReadsTheFirstSchemaWithTagsInTheLibrary) {
    TempHome home;
    const QString library = home.file(QStringLiteral("library.db"));
    SqliteFixture::execute(library, CatalogueSchemas::darktableLibraryOld() +
                                        pictures(QStringLiteral("/p/Trip"), QStringLiteral("/p/Home/")) +
                                        QLatin1String(kTags));
    LoadProgress progress;
    const CatalogueContents contents = DarktableReader::read(library, {}, {}, progress);
    EXPECT_FALSE(contents.failed);
    EXPECT_EQ(items(contents.items), (QStringList{"e|/p/Home/e.nef", "a|/p/Trip/a.jpg", "b|/p/Trip/b.cr2"}));
    EXPECT_EQ(groups(contents.groups), QStringLiteral("Film Rolls[0](Home[1],Trip[2]),"
                                                      "Tags[0](people[1],places[0](France[1](Paris[2]))),"
                                                      "Colour Labels[0](Red[1],Blue[1]),"
                                                      "Ratings[0](★★★★★[1],★★[1])"));
}

} // namespace
