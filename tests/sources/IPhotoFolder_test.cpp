#include "model/Photo.h"
#include "platform/system/Resources.h"
#include "sources/catalogues/IPhotoFolder.h"
#include "sources/catalogues/ITunesFolder.h"
#include "support/Names.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

const QString kCatalogue = QStringLiteral("Pictures/iPhoto Library/AlbumData.xml");

QByteArray plist(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n" +
           body + "\n</dict>\n</plist>\n";
}

QByteArray photo(const QByteArray& id, const QByteArray& caption) {
    return "<key>" + id + "</key><dict><key>Caption</key><string>" + caption +
           "</string><key>Comment</key><string>c" + id + "</string><key>ImagePath</key><string>/p/" + id +
           ".jpg</string><key>ThumbPath</key><string>/t/" + id +
           ".jpg</string><key>Rating</key><integer>3</integer>"
           "</dict>";
}

QByteArray album(const QByteArray& name, const QByteArray& extra, const QList<QByteArray>& keys) {
    QByteArray text =
        "<dict><key>AlbumName</key><string>" + name + "</string>" + extra + "<key>KeyList</key><array>";
    for (const QByteArray& key : keys) {
        text += "<string>" + key + "</string>";
    }
    return text + "</array><key>PhotoCount</key><integer>" + QByteArray::number(keys.size()) +
           "</integer></dict>";
}

QByteArray photos(int count) {
    QByteArray text = "<key>Master Image List</key><dict>";
    for (int i = 1; i <= count; ++i) {
        text += photo(QByteArray::number(i), "Photo " + QByteArray::number(i));
    }
    return text + "</dict>";
}

IPhotoFolderPtr makeLibrary(const TempHome& home, const QByteArray& contents) {
    home.writeFile(kCatalogue, contents);
    return IPhotoFolder::create(QStringLiteral("iPhoto"), QLatin1String("~/") + kCatalogue);
}

TEST(IPhotoFolder, AlbumsComeInCatalogueOrderEachWithItsIcon) {
    TempHome home;
    // Albums before the photos, as the real catalogues have them.
    const auto library = makeLibrary(
        home,
        plist(
            "<key>List of Albums</key><array>" +
            album("Photos", "<key>Master</key><true/>", {"1", "2", "3"}) +
            album("Last Roll", "<key>Album Type</key><string>Special Roll</string>", {"3"}) +
            album("Last 12 Months", "<key>Album Type</key><string>Special Month</string>", {"1"}) +
            album("Best", "<key>Album Type</key><string>Smart</string>", {"2"}) +
            album("Trip", "<key>Album Type</key><string>Regular</string>", {}) +
            album("lower", "<key>Album Type</key><string>smart</string>", {"1"}) +
            album("Flagged", "<key>Album Type</key><string>Flagged</string>", {"2"}) +
            album("Smart master", "<key>Master</key><true/><key>Album Type</key><string>Smart</string>", {}) +
            album("Not master", "<key>Master</key><false/><key>Album Type</key><string>Smart</string>", {}) +
            "<dict><key>Album Type</key><string>Regular</string></dict>" // no name, no key list
            "</array>" +
            photos(3)));
    ASSERT_TRUE(library);
    EXPECT_EQ(library->icon(), Resources::image(QStringLiteral("sl-icon_library.tiff")));
    EXPECT_TRUE(library->isExpandable());
    EXPECT_FALSE(library->isLoaded()) << "expandable without reading the catalogue";

    const auto& albums = library->folders();
    ASSERT_EQ(albums.size(), 10u);
    EXPECT_EQ(names(albums), QStringList({"Photos", "Last Roll", "Last 12 Months", "Best", "Trip", "lower",
                                          "Flagged", "Smart master", "Not master", QString()}));
    const char* expectedIcons[] = {
        "sl-icon_library.tiff",    "sl-icon_roll.tiff",  "sl-icon_cal.tiff",   "sl-icon_smartAlbum.tiff",
        "sl-icon_album.tiff",      "sl-icon_album.tiff", "sl-icon_album.tiff", "sl-icon_library.tiff",
        "sl-icon_smartAlbum.tiff", "sl-icon_album.tiff"};
    for (std::size_t i = 0; i < albums.size(); ++i) {
        EXPECT_EQ(albums[i]->icon(), Resources::image(QLatin1String(expectedIcons[i]))) << i;
        EXPECT_EQ(albums[i]->parent(), library.get());
        EXPECT_FALSE(albums[i]->isExpandable());
        EXPECT_EQ(typeid(*albums[i]), typeid(MediaFolder));
    }
    EXPECT_TRUE(albums[4]->files().empty());
    EXPECT_TRUE(albums[9]->files().empty());
    EXPECT_TRUE(albums[9]->name().isNull());
}

TEST(IPhotoFolder, TheLibraryHoldsTheMasterAlbumsPhotosAsSharedObjects) {
    TempHome home;
    const auto library = makeLibrary(
        home,
        plist(photos(5) + "<key>List of Albums</key><array>" + album("Trip", "", {"4", "2", "4", "99"}) +
              album("All", "<key>Master</key><true/>", {"3", "1", "2", "unknown"}) +
              album("Second master", "<key>Master</key><integer>1</integer>", {"2", "4"}) + "</array>"));
    ASSERT_TRUE(library);
    const auto& albums = library->folders();
    ASSERT_EQ(albums.size(), 3u);
    // Unknown identifiers are skipped, repeated ones repeat; photo 5 is in no album and appears nowhere.
    EXPECT_EQ(names(albums[0]->files()), QStringList({"Photo 4", "Photo 2", "Photo 4"}));
    EXPECT_EQ(names(library->files()), QStringList({"Photo 3", "Photo 1", "Photo 2", "Photo 2", "Photo 4"}));
    // One photo record is one object wherever it is shown.
    EXPECT_EQ(albums[0]->files()[0], albums[0]->files()[2]);
    EXPECT_EQ(albums[0]->files()[1], library->files()[2]);
    EXPECT_EQ(library->files()[2], library->files()[3]);
    EXPECT_EQ(albums[1]->files()[0], library->files()[0]);

    auto first = std::dynamic_pointer_cast<Photo>(library->files()[0]);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->path(), QStringLiteral("/p/3.jpg"));
    EXPECT_EQ(first->thumbPath(), QStringLiteral("/t/3.jpg"));
}

TEST(IPhotoFolder, PhotoRecordsWithMissingOrOddValues) {
    TempHome home;
    const auto library = makeLibrary(
        home, plist("<key>Master Image List</key><dict>"
                    "<key>1</key><dict><key>ImagePath</key><string>~/not/expanded.jpg</string></dict>"
                    "<key>2</key><dict><key>Caption</key><integer>7</integer><key>Caption</key>"
                    "<string>Second caption wins</string></dict>"
                    "<key>3</key><string>not a record</string>"
                    "<key>x9</key><dict><key>Caption</key><string>x9</string></dict>"
                    "<key>7</key><dict><key>Caption</key><string>7</string></dict>"
                    "</dict><key>List of Albums</key><array><dict><key>Master</key><true/><key>KeyList</key>"
                    "<array><string>1</string><integer>2</integer><string>2</string><string>3</string>"
                    "<string>x9</string><string>07</string><string>7</string></array>"
                    "</dict></array>"));
    ASSERT_TRUE(library);
    const auto& files = library->files();
    ASSERT_EQ(files.size(), 5u) << "identifiers are matched as text: 07 is not 7";
    EXPECT_EQ(files[3]->name(), QStringLiteral("x9"));
    EXPECT_EQ(files[4]->name(), QStringLiteral("7"));
    auto bare = std::dynamic_pointer_cast<Photo>(files[0]);
    EXPECT_TRUE(bare->name().isNull());
    EXPECT_EQ(bare->path(), QStringLiteral("~/not/expanded.jpg"));
    EXPECT_TRUE(bare->thumbPath().isNull());
    EXPECT_EQ(files[1]->name(), QStringLiteral("Second caption wins"));
    EXPECT_TRUE(files[2]->name().isNull());
}

TEST(IPhotoFolder, CataloguesThatCannotBeReadGiveAnEmptyLeaf) {
    TempHome home;
    EXPECT_FALSE(IPhotoFolder::create(QStringLiteral("iPhoto"), QLatin1String("~/") + kCatalogue));

    const QByteArray unreadable[] = {
        "",
        "<plist><array><string>root is no dictionary</string></array></plist>",
        plist(photos(2) + "<key>List of Albums</key><array>" + album("A", "<key>Master</key><true/>", {"1"}))
            .left(400),
    };
    for (const QByteArray& contents : unreadable) {
        const auto library = makeLibrary(home, contents);
        ASSERT_TRUE(library);
        EXPECT_TRUE(library->isExpandable());
        EXPECT_TRUE(library->files().empty());
        EXPECT_TRUE(library->folders().empty());
        EXPECT_FALSE(library->isExpandable());
    }

    // Without photos the albums are still made, empty; without albums nothing shows.
    const auto noPhotos =
        makeLibrary(home, plist("<key>List of Albums</key><array>" +
                                album("A", "<key>Master</key><true/>", {"1"}) + "</array>"));
    ASSERT_EQ(noPhotos->folders().size(), 1u);
    EXPECT_TRUE(noPhotos->folders()[0]->files().empty());
    const auto noAlbums = makeLibrary(home, plist(photos(3)));
    EXPECT_TRUE(noAlbums->files().empty());
    EXPECT_TRUE(noAlbums->folders().empty());
}

TEST(IPhotoFolder, ReadsTheCatalogueOnceInTheShapeOfRealExports) {
    TempHome home;
    QByteArray contents =
        plist(photos(2) + "<key>List of Albums</key><array>" +
              album("Caf\xC3\xA9 e\xCC\x81t\xC3\xA9", "<key>Master</key><true/>", {"2", "1"}) + "</array>");
    contents.replace("\n", "\r\n");
    const auto library = makeLibrary(home, "\xEF\xBB\xBF" + contents);
    ASSERT_EQ(library->folders().size(), 1u);
    EXPECT_EQ(library->folders()[0]->name(), QStringLiteral("Caf\u00e9 e\u0301t\u00e9"));
    EXPECT_EQ(names(library->files()), QStringList({"Photo 2", "Photo 1"}));

    home.writeFile(kCatalogue, plist(""));
    EXPECT_EQ(library->folders().size(), 1u) << "changes show only in a new folder";
    EXPECT_EQ(library->files().size(), 2u);
}

TEST(LibraryIcons, EachMasterKeepsItsOwnLibraryImageWhicheverFolderWasMadeLast) {
    const QImage iPhotoImage = Resources::image(QStringLiteral("sl-icon_library.tiff"));
    const QImage iTunesImage = Resources::image(QStringLiteral("MBiTunesLibrary.tif"));
    if (iPhotoImage.isNull() || iTunesImage.isNull() || iPhotoImage == iTunesImage) {
        GTEST_SKIP() << "the library images are not told apart by this build's resources";
    }
    TempHome home;
    const QString music = QStringLiteral("~/Music/iTunes/iTunes Music Library.xml");
    home.writeFile(QStringLiteral("Music/iTunes/iTunes Music Library.xml"),
                   plist("<key>Tracks</key><dict/><key>Playlists</key><array><dict><key>Name</key>"
                         "<string>Library</string><key>Master</key><true/></dict></array>"));
    const QByteArray pictures = plist("<key>List of Albums</key><array>" +
                                      album("Photos", "<key>Master</key><true/>", {}) + "</array>");

    // iPhoto made first, iTunes after it, both loaded late.
    auto photosFirst = makeLibrary(home, pictures);
    auto musicAfter = ITunesFolder::create(QStringLiteral("iTunes"), music, true, false);
    ASSERT_EQ(photosFirst->folders().size(), 1u);
    EXPECT_EQ(photosFirst->folders()[0]->icon(), iPhotoImage);
    ASSERT_EQ(musicAfter->folders().size(), 1u);
    EXPECT_EQ(musicAfter->folders()[0]->icon(), iTunesImage);

    // The other way round.
    auto musicFirst = ITunesFolder::create(QStringLiteral("iTunes"), music, true, false);
    auto photosAfter = makeLibrary(home, pictures);
    EXPECT_EQ(musicFirst->folders()[0]->icon(), iTunesImage);
    EXPECT_EQ(photosAfter->folders()[0]->icon(), iPhotoImage);
    EXPECT_EQ(MediaFolder::icon(QStringLiteral("library")), iPhotoImage)
        << "the shared entry is the last made";
}

// A library copied from a Mac, as iPhoto writes its catalogue: the pictures
// are found in the copied library folder the catalogue lies in; a picture the
// copy does not hold keeps the path the catalogue gives.
TEST(IPhotoFolder, ALibraryCopiedFromAMacFindsItsPicturesInItsOwnFolder) {
    TempHome home;
    const QString roll = QStringLiteral("2009/01/05/20090105-120000/");
    const QString master = home.writeFile(QStringLiteral("Pictures/iPhoto Library/Masters/") + roll +
                                          QStringLiteral("IMG_0005.JPG"));
    const QString thumbnail = home.writeFile(QStringLiteral("Pictures/iPhoto Library/Thumbnails/") + roll +
                                             QStringLiteral("IMG_0005.jpg"));
    const QByteArray mac = "/Users/bob/Pictures/iPhoto Library";
    const auto record = [&](const QByteArray& id, const QByteArray& roll, const QByteArray& name) {
        return "\t\t<key>" + id + "</key>\n\t\t<dict>\n\t\t\t<key>Caption</key><string>" + name +
               "</string>\n\t\t\t<key>Comment</key><string></string>\n"
               "\t\t\t<key>MediaType</key><string>Image</string>\n"
               "\t\t\t<key>ImagePath</key><string>" +
               mac + "/Masters/" + roll + name + ".JPG</string>\n\t\t\t<key>ThumbPath</key><string>" + mac +
               "/Thumbnails/" + roll + name +
               ".jpg</string>\n\t\t\t<key>Roll</key><integer>7</integer>\n"
               "\t\t</dict>\n";
    };
    const QByteArray catalogue =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>Application Version</key><string>8.1.2 (424)</string>\n"
        "\t<key>Archive Path</key><string>" +
        mac +
        "</string>\n\t<key>List of Albums</key>\n\t<array>\n\t\t<dict>\n"
        "\t\t\t<key>AlbumId</key><integer>999000</integer>\n"
        "\t\t\t<key>AlbumName</key><string>Photos</string>\n\t\t\t<key>KeyList</key>\n"
        "\t\t\t<array><string>5</string><string>6</string></array>\n"
        "\t\t\t<key>Master</key><true/>\n\t\t\t<key>PhotoCount</key><integer>2</integer>\n\t\t</dict>\n"
        "\t\t<dict>\n\t\t\t<key>AlbumId</key><integer>12</integer>\n"
        "\t\t\t<key>AlbumName</key><string>Trip</string>\n"
        "\t\t\t<key>Album Type</key><string>Regular</string>\n\t\t\t<key>KeyList</key>\n"
        "\t\t\t<array><string>5</string></array>\n\t\t</dict>\n\t</array>\n"
        "\t<key>List of Keywords</key><dict/>\n\t<key>Major Version</key><integer>2</integer>\n"
        "\t<key>Master Image List</key>\n\t<dict>\n" +
        record("5", roll.toUtf8(), "IMG_0005") + record("6", "2009/02/11/20090211-090000/", "IMG_0006") +
        "\t</dict>\n</dict>\n</plist>\n";
    const auto library = makeLibrary(home, catalogue);
    ASSERT_EQ(library->files().size(), 2u);
    const auto copied = std::dynamic_pointer_cast<Photo>(library->files()[0]);
    EXPECT_EQ(copied->path(), master);
    EXPECT_EQ(copied->thumbPath(), thumbnail);
    const auto missing = std::dynamic_pointer_cast<Photo>(library->files()[1]);
    EXPECT_EQ(missing->path(), QString::fromUtf8(mac + "/Masters/2009/02/11/20090211-090000/IMG_0006.JPG"));

    // The albums carry iPhoto's ids.
    const CatalogueContents contents = library->readCatalogue();
    ASSERT_EQ(contents.groups.size(), 2u);
    EXPECT_EQ(contents.groups[0].id, QStringLiteral("999000"));
    EXPECT_EQ(contents.groups[1].id, QStringLiteral("12"));
}

} // namespace
