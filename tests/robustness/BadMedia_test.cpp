#include "HostileHome.h"
#include "iconview/ThumbnailDecoder.h"
#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/media/MoviePoster.h"
#include "platform/system/Path.h"
#include "sources/local/LocalFolder.h"
#include "support/CameraFixtures.h"
#include "support/MediaFixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>

#include <gtest/gtest.h>
#include <sys/resource.h>

using MediaFixtures::Fixture;

namespace {

QByteArray contents(Fixture fixture) {
    QFile file(MediaFixtures::path(fixture));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything the browser asks of an item and its file: name, tags and
// length, search, thumbnail or poster. Answers the item's name.
QString askEverything(const MediaItemPtr& item) {
    const QString name = item->name();
    (void)item->matchesFilter(QStringLiteral("a"));
    if (const auto photo = std::dynamic_pointer_cast<Photo>(item)) {
        const QSize size = ThumbnailDecoder::uprightSize(photo->thumbPath());
        (void)ThumbnailDecoder::decode(photo->thumbPath(), QSize(120, 90), size);
    } else if (const auto track = std::dynamic_pointer_cast<QVTrack>(item)) {
        (void)track->artist();
        (void)track->length();
    } else {
        (void)MoviePoster::posterImage(Path::localPath(item->url()), QSize(120, 90));
    }
    return name;
}

class BadMedia : public HostileHome {};

// Empty, cut short and mislabelled files of every kind are listed under
// their file names, with unknown lengths and without pictures, quickly.
TEST_F(BadMedia, EmptyTruncatedAndMislabelledFiles) {
    const QByteArray jpeg = contents(Fixture::Jpeg);
    const QByteArray mp3 = contents(Fixture::TaggedMp3);
    const QByteArray mov = contents(Fixture::TaggedMov);
    const QByteArray m4a = contents(Fixture::CoverM4a);
    const struct {
        const char* file;
        QByteArray bytes;
    } files[] = {
        {"Pictures/empty.jpg", {}},
        {"Pictures/half.jpg", jpeg.left(jpeg.size() / 2)},
        {"Pictures/sound.jpg", mp3},
        {"Pictures/movie.png", mov},
        {"Music/empty.mp3", {}},
        {"Music/half.mp3", mp3.left(mp3.size() / 2)},
        {"Music/picture.mp3", jpeg},
        {"Music/movie.mp3", mov},
        {"Music/empty.m4a", {}},
        {"Music/head.m4a", m4a.left(64)},
        {"Music/picture.m4a", jpeg},
        {"Movies/empty.mov", {}},
        {"Movies/head.mov", mov.left(mov.size() / 3)},
        {"Movies/picture.mp4", jpeg},
        {"Movies/sound.mkv", mp3},
    };
    for (const auto& file : files) {
        _home.writeFile(QLatin1String(file.file), file.bytes);
    }
    snapshot();

    const struct {
        const char* directory;
        LocalFolder::FolderType type;
        QStringList names;
    } folders[] = {
        {"Pictures", LocalFolder::Pictures, {"empty", "half", "movie", "sound"}},
        {"Music",
         LocalFolder::Music,
         // An MP3 cut in half keeps its tag at the front.
         {"Morning Song", "empty", "empty", "head", "movie", "picture", "picture"}},
        // Movies are opened by what they hold, whatever their names say.
        {"Movies", LocalFolder::Movies, {"Morning Song", "empty.mov", "head.mov", "picture.mp4"}},
    };
    for (const auto& expected : folders) {
        SCOPED_TRACE(expected.directory);
        auto folder = LocalFolder::create(_home.file(QLatin1String(expected.directory)), expected.type);
        QStringList names;
        for (const MediaItemPtr& item : folder->files()) {
            const qint64 elapsed = millisecondsOf([&] { names.append(askEverything(item)); });
            EXPECT_LT(elapsed, kMainThreadBudgetMs) << names.last().toStdString();
            if (const auto track = std::dynamic_pointer_cast<QVTrack>(item);
                track && item->name() != QLatin1String("Morning Song")) {
                EXPECT_EQ(track->artist(), QString());
            }
        }
        names.sort();
        EXPECT_EQ(names, expected.names);
    }
}

// The CRC-32 that PNG chunks carry.
quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    return ~crc;
}

// A PNG chunk: length, type, data and the CRC of type and data.
QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), chunk.data());
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return chunk + body + crc;
}

// A picture whose header claims 60,000 × 60,000 pixels (14 GB decoded) but
// holds a few bytes: its size is read from the header, and decoding it
// gives up quickly without taking the memory the header asks for.
TEST_F(BadMedia, PictureClaimingSixtyThousandPixelsSquare) {
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(60000, header.data());
    qToBigEndian<quint32>(60000, header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n") + pngChunk("IHDR", header) +
                           pngChunk("IDAT", qCompress(QByteArray(4096, '\0')).mid(4)) + pngChunk("IEND", {});
    QByteArray jpeg = contents(Fixture::Jpeg);
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    qToBigEndian<quint16>(60000, jpeg.data() + frame + 5);
    qToBigEndian<quint16>(60000, jpeg.data() + frame + 7);
    const QString pngPath = _home.writeFile(QStringLiteral("Pictures/huge.png"), png);
    const QString jpegPath = _home.writeFile(QStringLiteral("Pictures/huge.jpg"), jpeg);
    snapshot();

    for (const QString& path : {pngPath, jpegPath}) {
        SCOPED_TRACE(path.toStdString());
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        QSize size;
        EXPECT_LT(millisecondsOf([&] { size = ThumbnailDecoder::uprightSize(path); }), kMainThreadBudgetMs);
        EXPECT_EQ(size, QSize(60000, 60000));
        EXPECT_LT(millisecondsOf([&] { (void)ThumbnailDecoder::decode(path, QSize(150, 150), size); }),
                  kMainThreadBudgetMs);
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
    }
}

// A progressive JPEG of a few hundred bytes whose frame claims 38,000 ×
// 38,000 pixels: small enough, scaled an eighth while decoding, for the
// image readers' allocation limit, but libjpeg would first allocate the
// whole image's coefficients, 4.3 GB (found by fuzzing, also with the frame
// behind a comment segment of length zero). It is refused before decoding
// starts.
TEST_F(BadMedia, ProgressiveJpegWhoseCoefficientsNeedGigabytes) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(writer.write(red));
    const qsizetype frame = jpeg.indexOf("\xFF\xC2");
    ASSERT_GT(frame, 0);
    qToBigEndian<quint16>(38000, jpeg.data() + frame + 5);
    qToBigEndian<quint16>(38000, jpeg.data() + frame + 7);
    const QByteArray behindEmptyComment = QByteArray(jpeg).insert(2, QByteArray("\xFF\xFE\x00\x00", 4));
    const QString paths[] = {_home.writeFile(QStringLiteral("Pictures/progressive.jpg"), jpeg),
                             _home.writeFile(QStringLiteral("Pictures/commented.jpg"), behindEmptyComment)};
    snapshot();

    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        QSize size;
        QImage thumbnail;
        EXPECT_LT(millisecondsOf([&] {
                      size = ThumbnailDecoder::uprightSize(path);
                      thumbnail = ThumbnailDecoder::decode(path, QSize(48, 36), size);
                  }),
                  kMainThreadBudgetMs);
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
        EXPECT_EQ(size, QSize(38000, 38000));
        EXPECT_TRUE(thumbnail.isNull());
    }
}

// A PNG whose text chunk after the picture claims two gigabytes, in a file
// of a few hundred bytes: the picture still shows, and reading it takes
// neither the memory the chunk claims nor the time to fill it.
TEST_F(BadMedia, PngWhoseTextChunkClaimsTwoGigabytes) {
    QByteArray png = contents(Fixture::Png);
    const qsizetype endChunk = png.indexOf("IEND") - 4;
    ASSERT_GT(endChunk, 0);
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(2000000000, chunk.data());
    png = png.left(endChunk) + chunk + "tEXtComment\0but the rest is missing";
    const QString path = _home.writeFile(QStringLiteral("Pictures/text.png"), png);
    snapshot();

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QImage thumbnail;
    EXPECT_LT(millisecondsOf([&] {
                  thumbnail =
                      ThumbnailDecoder::decode(path, QSize(32, 24), ThumbnailDecoder::uprightSize(path));
              }),
              kMainThreadBudgetMs);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_EQ(thumbnail.size(), QSize(32, 24));
}

// Phones' and cameras' pictures that claim more than they hold: HEICs whose
// primary picture claims 60,000 or 30,000 pixels square, a RAW whose raw data claims
// as much, and RAW files whose preview or raw data run past the file's end.
// Each is measured and decoded quickly, within the memory budget; a RAW whose
// preview cannot be had shows its raw data when that is whole.
TEST_F(BadMedia, CameraPicturesClaimingMoreThanTheyHold) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::red);
    // libheif refuses 60,000 pixels a side itself; 30,000 is left to the reader's own limit.
    QStringList heicPaths;
    for (const quint32 side : {60000u, 30000u}) {
        const QString path =
            CameraFixtures::heif(_home.file(QStringLiteral("Pictures/huge%1.heic").arg(side)), picture);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray heic = file.readAll();
        // Every image's extent (heif-enc may store more than the primary image).
        for (qsizetype extent = heic.indexOf("ispe"); extent > 0; extent = heic.indexOf("ispe", extent + 1)) {
            qToBigEndian<quint32>(side, heic.data() + extent + 8);
            qToBigEndian<quint32>(side, heic.data() + extent + 12);
        }
        file.seek(0);
        file.write(heic);
        heicPaths.append(path);
    }

    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    CameraFixtures::DngOptions hugeRaw;
    hugeRaw.rawSize = QSize(16, 12);
    QByteArray hugeRawDng = CameraFixtures::dng(hugeRaw);
    // The raw directory's width and height (long values), found by their entries.
    for (const quint16 tag : {quint16(256), quint16(257)}) {
        const QByteArray entry =
            QByteArray(1, char(tag & 0xff)) + char(tag >> 8) + QByteArray("\x04\x00\x01\x00\x00\x00", 6);
        const qsizetype at = hugeRawDng.lastIndexOf(entry);
        ASSERT_GT(at, 0);
        qToLittleEndian<quint32>(60000, hugeRawDng.data() + at + 8);
    }
    CameraFixtures::DngOptions previewPastEnd;
    previewPastEnd.previewJpeg = jpeg;
    previewPastEnd.rawSize = QSize(64, 48);
    previewPastEnd.recordedPreviewLength = 0x7fffff00;
    CameraFixtures::DngOptions rawPastEnd;
    rawPastEnd.rawSize = QSize(64, 48);
    rawPastEnd.recordedRawLength = 0x7fffff00;
    const QString hugeRawPath = _home.writeFile(QStringLiteral("Pictures/huge.nef"), hugeRawDng);
    const QString previewPath =
        _home.writeFile(QStringLiteral("Pictures/preview.dng"), CameraFixtures::dng(previewPastEnd));
    const QString rawPath =
        _home.writeFile(QStringLiteral("Pictures/raw.cr2"), CameraFixtures::dng(rawPastEnd));
    snapshot();

    for (const QString& path : heicPaths + QStringList{hugeRawPath, previewPath, rawPath}) {
        SCOPED_TRACE(path.toStdString());
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        QSize size;
        QImage thumbnail;
        EXPECT_LT(millisecondsOf([&] { size = ThumbnailDecoder::uprightSize(path); }), kMainThreadBudgetMs);
        EXPECT_LT(millisecondsOf([&] { thumbnail = ThumbnailDecoder::decode(path, QSize(150, 150), size); }),
                  kMainThreadBudgetMs);
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
        if (path == previewPath) {
            EXPECT_EQ(size, QSize(64, 48));
            ASSERT_FALSE(thumbnail.isNull());
            EXPECT_FALSE(qRed(thumbnail.pixel(75, 75)) > 200 && qGreen(thumbnail.pixel(75, 75)) < 60)
                << "the preview's red, read from past the end?";
        } else if (path != rawPath) {
            EXPECT_TRUE(thumbnail.isNull());
        }
    }
}

} // namespace
