#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "support/TempHome.h"

#include <QFile>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(Path, TildeExpansionAndAbbreviation) {
    TempHome home;
    EXPECT_EQ(Path::expandTilde(QStringLiteral("~")), home.path());
    EXPECT_EQ(Path::expandTilde(QStringLiteral("~/Music")), home.path() + QStringLiteral("/Music"));
    EXPECT_EQ(Path::expandTilde(QStringLiteral("/abs/~/x")), QStringLiteral("/abs/~/x"));
    EXPECT_EQ(Path::expandTilde(QStringLiteral("~root/x")), QStringLiteral("/root/x"));
    EXPECT_EQ(Path::expandTilde(QStringLiteral("~no-such-user-qvmb/x")),
              QStringLiteral("~no-such-user-qvmb/x"));

    EXPECT_EQ(Path::abbreviateWithTilde(home.path()), QStringLiteral("~"));
    EXPECT_EQ(Path::abbreviateWithTilde(home.path() + QStringLiteral("/Pictures")),
              QStringLiteral("~/Pictures"));
    // A sibling that merely shares the prefix is not inside the home.
    EXPECT_EQ(Path::abbreviateWithTilde(home.path() + QStringLiteral("x/y")),
              home.path() + QStringLiteral("x/y"));
    EXPECT_EQ(Path::abbreviateWithTilde(QStringLiteral("/srv/media")), QStringLiteral("/srv/media"));
}

TEST(Path, ComponentsAndExtensions) {
    EXPECT_EQ(Path::lastComponent(QStringLiteral("/a/b/Holiday.2006/")), QStringLiteral("Holiday.2006"));
    EXPECT_EQ(Path::lastComponent(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(Path::lastComponent(QStringLiteral("name")), QStringLiteral("name"));

    EXPECT_EQ(Path::extension(QStringLiteral("/x/a.tar.gz")), QStringLiteral("gz"));
    EXPECT_EQ(Path::extension(QStringLiteral("/x.d/README")), QString(QLatin1String("")));
    EXPECT_FALSE(Path::extension(QStringLiteral("/x.d/README")).isNull());
    EXPECT_EQ(Path::extension(QStringLiteral("IMG_0001.JPG")), QStringLiteral("JPG"));

    EXPECT_EQ(Path::deletingExtension(QStringLiteral("/x/Holiday.2006")), QStringLiteral("/x/Holiday"));
    EXPECT_EQ(Path::deletingExtension(QStringLiteral("/x.d/README")), QStringLiteral("/x.d/README"));
    EXPECT_EQ(Path::deletingExtension(QStringLiteral("Trip.mov")), QStringLiteral("Trip"));

    EXPECT_EQ(Path::appendingComponent(QStringLiteral("/a"), QStringLiteral("b")), QStringLiteral("/a/b"));
    EXPECT_EQ(Path::appendingComponent(QStringLiteral("/a/"), QStringLiteral("b")), QStringLiteral("/a/b"));
}

TEST(Path, RawByteNamesRoundTripThroughStringsAndUrls) {
    const QByteArray raw("caf\xe9-\xff\xfe.jpg"); // Latin-1 bytes: not UTF-8
    const QString name = Path::fromNative(raw);
    EXPECT_EQ(Path::toNative(name), raw);
    EXPECT_EQ(Path::extension(name), QStringLiteral("jpg"));

    const QByteArray valid("Caf\xc3\xa9 \xf0\x9f\x8e\xb5.mp3"); // UTF-8 with a 4-byte character
    EXPECT_EQ(Path::fromNative(valid), QString::fromUtf8(valid));
    EXPECT_EQ(Path::toNative(Path::fromNative(valid)), valid);

    const QString path = QStringLiteral("/tmp/") + name;
    const QUrl url = Path::fileUrl(path);
    EXPECT_EQ(url.scheme(), QStringLiteral("file"));
    EXPECT_EQ(Path::localPath(url), path);
    EXPECT_EQ(Path::toNative(Path::localPath(url)), QByteArray("/tmp/") + raw);
}

TEST(Path, LocalPathOfCatalogueStyleUrls) {
    EXPECT_EQ(Path::localPath(QUrl(QStringLiteral("file://localhost/Users/me/Music/a%20b.mp3"))),
              QStringLiteral("/Users/me/Music/a b.mp3"));
    EXPECT_EQ(Path::localPath(QUrl(QStringLiteral("file:///Users/me/x%23y%3F.mp3"))),
              QStringLiteral("/Users/me/x#y?.mp3"));
    // Decomposed Unicode stays decomposed: the bytes name the file.
    EXPECT_EQ(Path::localPath(QUrl(QStringLiteral("file:///M/a%CC%83.m4a"))),
              QStringLiteral("/M/a\u0303.m4a"));
    EXPECT_TRUE(Path::localPath(QUrl(QStringLiteral("http://example.invalid/pod.mp3"))).isNull());
    EXPECT_TRUE(Path::localPath(QUrl(QStringLiteral("file://server/share/a.mp3"))).isNull());
    EXPECT_TRUE(Path::localPath(QUrl()).isNull());
    // Windows drive paths of libraries made on another system name no file here.
    EXPECT_TRUE(Path::localPath(QUrl(QStringLiteral("file://localhost/C:/Users/me/a.mp3"))).isNull());
    EXPECT_TRUE(Path::localPath(QUrl(QStringLiteral("file:///d:/a.mp3"))).isNull());
    EXPECT_EQ(Path::localPath(QUrl(QStringLiteral("file:///C%3A%20notes/a.mp3"))),
              QStringLiteral("/C: notes/a.mp3"));
}

TEST(FileSystem, ListsInFileSystemOrderWithEntriesOwnTypes) {
    TempHome home;
    const QString dir = home.makeDirectory(QStringLiteral("media"));
    home.writeFile(QStringLiteral("media/a.jpg"));
    home.makeDirectory(QStringLiteral("media/Sub"));
    ASSERT_EQ(symlink("Sub", QFile::encodeName(dir + QStringLiteral("/link")).constData()), 0);
    ASSERT_EQ(mkfifo(QFile::encodeName(dir + QStringLiteral("/fifo")).constData(), 0600), 0);
    const QByteArray rawName = QFile::encodeName(dir) + "/raw-\xff.png";
    const int fd = open(rawName.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "x", 1), 1);
    close(fd);

    const auto entries = FileSystem::listDirectory(dir);
    ASSERT_TRUE(entries.has_value());
    QHash<QString, FileSystem::EntryType> types;
    QStringList names;
    for (const auto& entry : *entries) {
        types.insert(entry.name, entry.type);
        names.append(entry.name);
    }
    EXPECT_EQ(names, FileSystem::entryNames(dir));
    EXPECT_EQ(names.size(), 5);
    EXPECT_EQ(types.value(QStringLiteral("a.jpg")), FileSystem::EntryType::Regular);
    EXPECT_EQ(types.value(QStringLiteral("Sub")), FileSystem::EntryType::Directory);
    EXPECT_EQ(types.value(QStringLiteral("link")), FileSystem::EntryType::SymbolicLink);
    EXPECT_EQ(types.value(QStringLiteral("fifo")), FileSystem::EntryType::Other);

    // The raw-byte name is listed and opens again as the same bytes.
    const QString raw = Path::fromNative(QByteArray("raw-\xff.png"));
    ASSERT_TRUE(types.contains(raw));
    EXPECT_EQ(types.value(raw), FileSystem::EntryType::Regular);
    const QString full = Path::appendingComponent(dir, raw);
    EXPECT_TRUE(FileSystem::exists(full));
    const int again = open(Path::toNative(full).constData(), O_RDONLY);
    EXPECT_GE(again, 0);
    close(again);

    EXPECT_TRUE(FileSystem::isDirectory(dir + QStringLiteral("/link")));
    EXPECT_FALSE(FileSystem::isDirectory(dir + QStringLiteral("/a.jpg")));
    EXPECT_FALSE(FileSystem::listDirectory(dir + QStringLiteral("/missing")).has_value());
    EXPECT_TRUE(FileSystem::entryNames(dir + QStringLiteral("/a.jpg")).isEmpty());
}

TEST(FileSystem, VisitingStopsWhenAsked) {
    TempHome home;
    for (int i = 0; i < 5; ++i) {
        home.writeFile(QStringLiteral("d/f%1").arg(i));
    }
    int visited = 0;
    EXPECT_TRUE(
        FileSystem::forEachEntry(home.file(QStringLiteral("d")), [&](const FileSystem::DirectoryEntry&) {
            ++visited;
            return visited < 2;
        }));
    EXPECT_EQ(visited, 2);
}

} // namespace
