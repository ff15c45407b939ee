#include "PictureFixtures.h"
#include "PngFixtures.h"
#include "iconview/ThumbnailDecoder.h"
#include "platform/media/ThumbnailCache.h"
#include "platform/media/ThumbnailPngReader.h"
#include "platform/media/ThumbnailPngWriter.h"
#include "support/TempHome.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QtEndian>

#include <atomic>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace {

using ThumbnailDecoder::Source;

// Sets a file's modification time to the given number of seconds ago.
void modifiedAgo(const QString& path, int seconds) {
    const timeval now{time(nullptr) - seconds, 0};
    const timeval times[2] = {now, now};
    ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);
}

int modeOf(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return static_cast<int>(info.st_mode & 07777);
}

// Bytes this process has read from files so far.
qint64 bytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:")) {
            return line.mid(6).trimmed().toLongLong();
        }
    }
    return 0;
}

class SharedCache : public ::testing::Test {
protected:
    void SetUp() override {
        ThumbnailCache::setWritingEnabled(true);
        picture = home.writeFile(QStringLiteral("Pictures/a b!.jpg"), jpegOf(halves(QSize(1200, 800))));
        modifiedAgo(picture, 3600);
    }
    void TearDown() override { ThumbnailCache::setWritingEnabled(true); }

    QString entry(const char* sizeClass) const {
        return ThumbnailCache::root() + QLatin1String(sizeClass) + QLatin1Char('/') +
               ThumbnailCache::entryName(picture);
    }
    ThumbnailCache::Stamp stamp() const { return *ThumbnailCache::stampOf(picture); }
    // A green thumbnail of the picture as another program records it.
    QImage othersThumbnail(QSize size, qint64 mtime) const {
        QImage thumbnail(size, QImage::Format_RGB32);
        thumbnail.fill(Qt::green);
        thumbnail.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(ThumbnailCache::fileUri(picture)));
        thumbnail.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
        return thumbnail;
    }
    void writeEntry(const char* sizeClass, const QByteArray& bytes) const {
        QDir().mkpath(ThumbnailCache::root() + QLatin1String(sizeClass));
        QFile file(entry(sizeClass));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    TempHome home;
    QString picture;
};

// What another program wrote is used; once the picture changes, its stale
// entry is replaced by ours, written as the desktop's programs expect it.
TEST_F(SharedCache, AnotherProgramsEntryIsUsedAndAStaleOneReplaced) {
    writeEntry("large", pngOf(othersThumbnail(QSize(256, 171), stamp().mtime)));
    ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(picture, QSize(150, 100));
    EXPECT_EQ(made.source, Source::Cache);
    EXPECT_EQ(made.uprightSize, QSize(1200, 800));
    EXPECT_EQ(made.image.size(), QSize(150, 100));
    EXPECT_TRUE(isGreen(made.image.pixel(75, 50)));

    modifiedAgo(picture, 1800);
    made = ThumbnailDecoder::make(picture, QSize(150, 100));
    EXPECT_EQ(made.source, Source::Picture);
    EXPECT_TRUE(isBlue(made.image.pixel(140, 50)));
    ASSERT_TRUE(ThumbnailDecoder::storeInCache(made));

    QImageReader reader(entry("large"), "png");
    const QImage written = reader.read();
    ASSERT_EQ(written.size(), QSize(256, 171));
    EXPECT_TRUE(isRed(written.pixel(10, 85)));
    EXPECT_EQ(written.text(QStringLiteral("Thumb::URI")),
              QStringLiteral("file://") + home.path() + QStringLiteral("/Pictures/a%20b!.jpg"));
    EXPECT_EQ(written.text(QStringLiteral("Thumb::MTime")), QString::number(stamp().mtime));
    EXPECT_EQ(written.text(QStringLiteral("Thumb::Size")), QString::number(QFileInfo(picture).size()));
    EXPECT_EQ(written.text(QStringLiteral("Thumb::Image::Width")), QStringLiteral("1200"));
    EXPECT_EQ(written.text(QStringLiteral("Thumb::Image::Height")), QStringLiteral("800"));
    EXPECT_EQ(modeOf(entry("large")), 0600);
    // Nothing left beside it.
    EXPECT_EQ(
        QDir(ThumbnailCache::root() + QStringLiteral("large")).entryList(QDir::Files | QDir::Hidden).size(),
        1);

    // Our entry serves the next start.
    EXPECT_EQ(ThumbnailDecoder::make(picture, QSize(150, 100)).source, Source::Cache);
}

TEST_F(SharedCache, ANewCacheIsMadeForItsUserAlone) {
    const ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(picture, QSize(450, 300));
    ASSERT_TRUE(ThumbnailDecoder::storeInCache(made));
    EXPECT_EQ(QImage(entry("x-large")).size(), QSize(512, 341));
    EXPECT_EQ(modeOf(ThumbnailCache::root()), 0700);
    EXPECT_EQ(modeOf(ThumbnailCache::root() + QStringLiteral("x-large")), 0700);
    EXPECT_EQ(modeOf(entry("x-large")), 0600);
}

// Entries that are not plain thumbnails are passed over without reading
// them whole, and the picture itself is shown.
TEST_F(SharedCache, EntriesThatAreNoThumbnailsAreIgnoredWithoutReadingThemWhole) {
    const QByteArray good = pngOf(othersThumbnail(QSize(256, 171), stamp().mtime));
    const auto shown = [this] {
        const ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(picture, QSize(150, 100));
        return made.source == Source::Picture && isBlue(made.image.pixel(140, 50));
    };

    // A link to a good entry elsewhere.
    const QString elsewhere = home.writeFile(QStringLiteral("elsewhere.png"), good);
    QDir().mkpath(ThumbnailCache::root() + QStringLiteral("large"));
    ASSERT_EQ(
        ::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(entry("large")).constData()),
        0);
    EXPECT_TRUE(shown());
    QFile::remove(entry("large"));

    // A directory.
    ASSERT_TRUE(QDir().mkpath(entry("large")));
    EXPECT_TRUE(shown());
    QDir(entry("large")).removeRecursively();

    // Two gigabytes (sparse, so it costs no disk).
    writeEntry("large", good);
    ASSERT_EQ(::truncate(QFile::encodeName(entry("large")).constData(), 2LL << 30), 0);
    qint64 before = bytesRead();
    EXPECT_TRUE(shown());
    EXPECT_LT(bytesRead() - before, 8 << 20);
    QFile::remove(entry("large"));

    // A bomb: the header claims 60000 x 40000 pixels.
    QByteArray bomb = good;
    const qsizetype ihdr = bomb.indexOf("IHDR");
    qToBigEndian<quint32>(60000, bomb.data() + ihdr + 4);
    qToBigEndian<quint32>(40000, bomb.data() + ihdr + 8);
    writeEntry("large", bomb);
    before = bytesRead();
    EXPECT_TRUE(shown());
    EXPECT_LT(bytesRead() - before, 8 << 20);

    // Larger than its class allows.
    writeEntry("large", pngOf(othersThumbnail(QSize(1200, 800), stamp().mtime)));
    EXPECT_TRUE(shown());

    // Cut short.
    writeEntry("large", good.left(good.size() - 30));
    EXPECT_TRUE(shown());
}

// A picture that cannot be decoded is recorded once; it is not decoded
// again (even if its bytes change) until its modification time does.
TEST_F(SharedCache, TheFailureEntryStopsRetriesUntilThePictureChanges) {
    const QString broken = home.writeFile(QStringLiteral("Pictures/broken.jpg"), "\xff\xd8 not a picture");
    modifiedAgo(broken, 3600);
    EXPECT_TRUE(ThumbnailDecoder::make(broken, QSize(150, 100)).image.isNull());
    const QString failure =
        ThumbnailCache::root() + QStringLiteral("fail/qvmediabrowser-1/") + ThumbnailCache::entryName(broken);
    ASSERT_TRUE(QFile::exists(failure));
    EXPECT_EQ(QImage(failure).text(QStringLiteral("Thumb::URI")),
              QString::fromLatin1(ThumbnailCache::fileUri(broken)));
    EXPECT_TRUE(ThumbnailCache::hasFailure(broken, *ThumbnailCache::stampOf(broken)));

    // Mended in place with the same modification time: still not tried.
    home.writeFile(QStringLiteral("Pictures/broken.jpg"), jpegOf(halves(QSize(300, 200))));
    modifiedAgo(broken, 3600);
    EXPECT_TRUE(ThumbnailDecoder::make(broken, QSize(150, 100)).image.isNull());

    modifiedAgo(broken, 60);
    const ThumbnailDecoder::Thumbnail mended = ThumbnailDecoder::make(broken, QSize(150, 100));
    ASSERT_FALSE(mended.image.isNull());
    EXPECT_TRUE(isRed(mended.image.pixel(10, 50)));

    // A file still being written is not recorded as broken.
    const QString fresh = home.writeFile(QStringLiteral("Pictures/fresh.jpg"), "\xff\xd8");
    EXPECT_TRUE(ThumbnailDecoder::make(fresh, QSize(150, 100)).image.isNull());
    EXPECT_FALSE(ThumbnailCache::hasFailure(fresh, *ThumbnailCache::stampOf(fresh)));
}

TEST_F(SharedCache, NothingIsWrittenForSmallPicturesTheCacheItselfOrWhenSwitchedOff) {
    const QString small =
        home.writeFile(QStringLiteral("Pictures/small.jpg"), jpegOf(halves(QSize(200, 120))));
    modifiedAgo(small, 3600);
    EXPECT_FALSE(ThumbnailDecoder::storeInCache(ThumbnailDecoder::make(small, QSize(150, 90))));

    const QString inside = ThumbnailCache::root() + QStringLiteral("large/copy.jpg");
    QDir().mkpath(ThumbnailCache::root() + QStringLiteral("large"));
    ASSERT_TRUE(QFile::copy(picture, inside));
    modifiedAgo(inside, 3600);
    const ThumbnailDecoder::Thumbnail insideMade = ThumbnailDecoder::make(inside, QSize(150, 100));
    EXPECT_FALSE(insideMade.image.isNull());
    EXPECT_FALSE(ThumbnailDecoder::storeInCache(insideMade));

    ThumbnailCache::setWritingEnabled(false);
    EXPECT_FALSE(ThumbnailDecoder::storeInCache(ThumbnailDecoder::make(picture, QSize(150, 100))));
    const QString broken = home.writeFile(QStringLiteral("Pictures/broken.jpg"), "no picture");
    modifiedAgo(broken, 3600);
    ThumbnailDecoder::make(broken, QSize(150, 100));

    EXPECT_EQ(QDir(ThumbnailCache::root() + QStringLiteral("large")).entryList(QDir::Files),
              QStringList{QStringLiteral("copy.jpg")});
    EXPECT_FALSE(QFile::exists(ThumbnailCache::root() + QStringLiteral("fail")));
}

// Two writers of the same entry at once (two copies of the program, say)
// leave a whole PNG, and a reader never sees half of one.
TEST_F(SharedCache, WritersOfTheSameEntryAtOnceLeaveAValidFile) {
    const ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(picture, QSize(150, 100));
    ASSERT_FALSE(made.forCache.isNull());
    ThumbnailDecoder::Thumbnail other = made;
    other.forCache.fill(Qt::green);
    std::atomic<bool> writing{true};
    std::atomic<int> halfRead{0};
    std::thread reader([&] {
        while (writing) {
            QFile file(entry("large"));
            if (file.open(QIODevice::ReadOnly)) {
                const QImage image = QImage::fromData(file.readAll(), "PNG");
                halfRead += image.size() == QSize(256, 171) ? 0 : 1;
            }
        }
    });
    const auto write = [](const ThumbnailDecoder::Thumbnail& thumbnail) {
        for (int i = 0; i < 60; ++i) {
            ThumbnailDecoder::storeInCache(thumbnail);
        }
    };
    std::thread first(write, made);
    std::thread second(write, other);
    first.join();
    second.join();
    writing = false;
    reader.join();
    EXPECT_EQ(halfRead, 0);
    EXPECT_EQ(QImage(entry("large")).size(), QSize(256, 171));
    EXPECT_EQ(
        QDir(ThumbnailCache::root() + QStringLiteral("large")).entryList(QDir::Files | QDir::Hidden).size(),
        1);
}

// Whether the two show the same pixels as the grid draws them (which draws
// pixels as they are, whatever colour space a reader records).
bool samePixels(const QImage& one, const QImage& other) {
    const QImage a = one.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = other.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (a.size() != b.size()) {
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0) {
            return false;
        }
    }
    return true;
}

// A picture in a file made by another program: its bytes.
QByteArray madeBy(const QString& program, const QStringList& arguments, const QString& output) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    QFile file(output);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Entries as the desktop's writers make them (Qt's adaptive filters, the
// desktop's own thumbnailer, ours, rows of every filter, with alpha or not)
// show the same pixels as Qt's reader gives; the kinds the fast reader leaves
// to Qt's (palette, grey, 16 bits, interlaced) still show.
TEST_F(SharedCache, EntriesOfEveryWriterShowWhatQtsReaderReads) {
    const QSize size(512, 341);
    const QList<std::pair<QByteArray, QByteArray>> keys{{"Thumb::URI", ThumbnailCache::fileUri(picture)},
                                                        {"Thumb::MTime", QByteArray::number(stamp().mtime)}};
    const auto qtWritten = [&](QImage image) {
        for (const auto& [key, value] : keys) {
            image.setText(QString::fromLatin1(key), QString::fromLatin1(value));
        }
        return pngOf(image);
    };
    const QString photo = home.file(QStringLiteral("photo.png"));
    ASSERT_TRUE(photoLike(QSize(1200, 800)).save(photo));
    const QString thumbnailed = home.file(QStringLiteral("desktop.png"));
    const QByteArray desktops =
        madeBy(QStringLiteral("gdk-pixbuf-thumbnailer"),
               {QStringLiteral("-s"), QStringLiteral("512"), photo, thumbnailed}, thumbnailed);
    ASSERT_FALSE(desktops.isEmpty()) << "gdk-pixbuf-thumbnailer (tools/setup installs it)";
    const QString interlacedFile = home.file(QStringLiteral("interlaced.png"));
    const QByteArray interlaced =
        madeBy(QStringLiteral("convert"),
               {photo, QStringLiteral("-resize"), QStringLiteral("512x341"), QStringLiteral("-interlace"),
                QStringLiteral("PNG"), interlacedFile},
               interlacedFile);
    ASSERT_FALSE(interlaced.isEmpty()) << "ImageMagick's convert (tools/setup installs it)";
    // ImageMagick adds gamma, chromaticity, background and time chunks.
    const QString magickFile = home.file(QStringLiteral("magick.png"));
    const QByteArray magick = madeBy(
        QStringLiteral("convert"),
        {photo, QStringLiteral("-resize"), QStringLiteral("512x341"), QStringLiteral("PNG24:") + magickFile},
        magickFile);

    const QByteArray oursWithAlpha =
        ThumbnailPngWriter::write(photoLike(size, true), ThumbnailPngWriter::Texts(keys.begin(), keys.end()));
    const struct {
        const char* writer;
        QByteArray png;
        bool fast;
    } entries[] = {
        {"Qt, RGB", qtWritten(photoLike(size)), true},
        {"Qt, RGBA", qtWritten(photoLike(size, true)), true},
        {"gdk-pixbuf-thumbnailer", withTexts(desktops, keys), true},
        {"ImageMagick", withTexts(magick, keys), true},
        {"ours, RGB", ThumbnailPngWriter::write(photoLike(size), {keys.begin(), keys.end()}), true},
        {"ours, RGBA", oursWithAlpha, true},
        {"every filter, RGB", withTexts(everyFilterPng(photoLike(size)), keys), true},
        {"every filter, RGBA", withTexts(everyFilterPng(photoLike(size, true)), keys), true},
        {"palette", qtWritten(photoLike(size).convertToFormat(QImage::Format_Indexed8)), false},
        {"grey", qtWritten(photoLike(size).convertToFormat(QImage::Format_Grayscale8)), false},
        {"16 bits", qtWritten(photoLike(size, true).convertToFormat(QImage::Format_RGBA64)), false},
        {"interlaced", withTexts(interlaced, keys), false},
    };
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.writer);
        const QImage qts = QImage::fromData(entry.png, "PNG");
        ASSERT_EQ(qts.size(), size);
        EXPECT_EQ(ThumbnailPngReader::read(entry.png, 512).outcome == ThumbnailPngReader::Outcome::Decoded,
                  entry.fast);
        writeEntry("x-large", entry.png);
        const QImage found = ThumbnailCache::find(picture, stamp(), QSize(450, 300), QSize(1200, 800));
        ASSERT_EQ(found.size(), size);
        EXPECT_TRUE(samePixels(found, qts));
    }
    // The desktop's own reader (gdk-pixbuf's, through its thumbnailer) takes ours, alpha and all.
    const QString ours = home.writeFile(QStringLiteral("ours.png"), oursWithAlpha);
    const QString again = home.file(QStringLiteral("again.png"));
    const QImage readByDesktop =
        QImage::fromData(madeBy(QStringLiteral("gdk-pixbuf-thumbnailer"),
                                {QStringLiteral("-s"), QStringLiteral("512"), ours, again}, again));
    EXPECT_TRUE(samePixels(readByDesktop, QImage::fromData(oursWithAlpha)));
    // The fixture's rows, checked against Qt's reader, are the picture's.
    EXPECT_TRUE(samePixels(QImage::fromData(everyFilterPng(photoLike(size, true))), photoLike(size, true)));
}

// An entry damaged in any of the ways a crash or a bad disk leaves one is
// refused, and the picture itself shown, as for a stale entry.
TEST_F(SharedCache, DamagedEntriesAreRefusedAndThePictureShown) {
    QImage green(512, 341, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QByteArray good =
        ThumbnailPngWriter::write(green, {{"Thumb::URI", ThumbnailCache::fileUri(picture)},
                                          {"Thumb::MTime", QByteArray::number(stamp().mtime)}});
    const auto source = [this](const QByteArray& png) {
        writeEntry("x-large", png);
        const ThumbnailDecoder::Thumbnail made = ThumbnailDecoder::make(picture, QSize(450, 300));
        EXPECT_FALSE(made.image.isNull());
        return made.source;
    };
    ASSERT_EQ(source(good), Source::Cache);

    const auto changed = [&good](const char* type, const std::function<void(QByteArray&)>& change) {
        std::vector<PngChunk> chunks = pngChunks(good);
        for (PngChunk& chunk : chunks) {
            if (chunk.type == type) {
                change(chunk.data);
            }
        }
        return pngOfChunks(chunks);
    };
    const auto setHeight = [](quint32 height) {
        return [height](QByteArray& header) {
            qToBigEndian<quint32>(height, header.data() + 4);
        };
    };
    QByteArray badCrc = good;
    const qsizetype pixels = badCrc.indexOf("IDAT") + 100;
    badCrc[pixels] = char(badCrc[pixels] ^ 0x10);
    // A stream of zeros that inflates to 64 MB from a few kilobytes.
    const QByteArray bomb = qCompress(QByteArray(64 << 20, '\0'), 9).mid(4);
    const struct {
        const char* damage;
        QByteArray png;
    } damaged[] = {
        {"a bad CRC", badCrc},
        {"the pixel data cut short", changed("IDAT", [](QByteArray& data) { data.chop(data.size() / 2); })},
        {"more pixel data than the header says", changed("IHDR", setHeight(300))},
        {"less pixel data than the header says", changed("IHDR", setHeight(400))},
        {"a bomb", changed("IDAT", [&bomb](QByteArray& data) { data = bomb; })},
        {"larger than the size class",
         changed("IHDR", [](QByteArray& header) { qToBigEndian<quint32>(600, header.data()); })},
    };
    for (const auto& entry : damaged) {
        SCOPED_TRACE(entry.damage);
        EXPECT_EQ(source(entry.png), Source::Picture);
    }
}

} // namespace
