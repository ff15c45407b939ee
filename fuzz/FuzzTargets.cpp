#include "FuzzTargets.h"

#include "iconview/EmbeddedPreview.h"
#include "iconview/JpegFrame.h"
#include "iconview/ThumbnailDecoder.h"
#include "model/MediaItem.h"
#include "model/TrackMetaData.h"
#include "platform/catalogues/PlistReader.h"
#include "platform/index/BalooDocumentData.h"
#include "platform/media/Id3Reader.h"
#include "platform/media/JpegPreviews.h"
#include "platform/media/MoviePoster.h"
#include "platform/media/ThumbnailCache.h"
#include "platform/media/ThumbnailPngReader.h"
#include "platform/network/HelperProtocol.h"
#include "platform/network/helper/DidlReader.h"
#include "platform/system/LoadProgress.h"
#include "platform/system/Path.h"
#include "sources/catalogues/DarktableReader.h"
#include "sources/catalogues/DigikamReader.h"
#include "sources/catalogues/ElisaReader.h"
#include "sources/catalogues/IPhotoReader.h"
#include "sources/catalogues/ITunesReader.h"
#include "sources/catalogues/KodiReader.h"
#include "sources/catalogues/LightroomReader.h"
#include "sources/catalogues/LollypopReader.h"
#include "sources/catalogues/PhotosLibraryReader.h"
#include "sources/catalogues/RhythmboxReader.h"
#include "sources/catalogues/ShotwellReader.h"
#include "sources/catalogues/StrawberryReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <sys/mman.h>
#include <unistd.h>

namespace FuzzTargets {

namespace {

// The input as a file that lives in memory only: the readers open paths, and
// fuzzing must not wear the disk. The same file is rewritten for each input.
QString memoryFile(QByteArrayView bytes) {
    static const int fd = memfd_create("qvmb-fuzz-input", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0) {
        return {};
    }
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = pwrite(fd, bytes.data() + written, static_cast<std::size_t>(bytes.size() - written),
                                 static_cast<off_t>(written));
        if (n <= 0) {
            return {};
        }
        written += n;
    }
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

// The same file under a name with the given extension, for readers chosen by
// the name: a link in memory too (/dev/shm), made once and removed at exit.
QString memoryFile(QByteArrayView bytes, const char* extension) {
    const QString target = memoryFile(bytes);
    if (target.isEmpty()) {
        return {};
    }
    static const QString directory = [] {
        QByteArray pattern("/dev/shm/qvmb-fuzz-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            return QString();
        }
        static const QByteArray made = pattern;
        std::atexit([] {
            for (const char* name : {"/input.heic", "/input.dng"}) {
                unlink((made + name).constData());
            }
            rmdir(made.constData());
        });
        return QString::fromLocal8Bit(pattern);
    }();
    if (directory.isEmpty()) {
        return {};
    }
    const QString link = directory + QStringLiteral("/input.") + QLatin1String(extension);
    if (access(QFile::encodeName(link).constData(), F_OK) != 0 &&
        symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) != 0) {
        return {};
    }
    return link;
}

// The input as a named file in memory (/dev/shm where there is one): SQLite
// opens databases by their resolved name, which a memfd's does not have.
QString namedMemoryFile(QByteArrayView bytes) {
    static const QString path = [] {
        const QString base =
            QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        return QStringLiteral("%1/qvmb-fuzz-%2.db").arg(base).arg(::getpid());
    }();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size()) {
        return {};
    }
    return path;
}

// The input as the store of a Photos library bundle in memory, which the
// reader finds by the bundle's layout; made once, removed at exit.
QString memoryBundle(QByteArrayView bytes) {
    static const QString bundle = [] {
        const QString base =
            QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        const QString path = QStringLiteral("%1/qvmb-fuzz-%2.photoslibrary").arg(base).arg(::getpid());
        if (!QDir().mkpath(path + QStringLiteral("/database"))) {
            return QString();
        }
        static const QByteArray made = QFile::encodeName(path);
        std::atexit([] { QDir(QFile::decodeName(made)).removeRecursively(); });
        return path;
    }();
    if (bundle.isEmpty()) {
        return {};
    }
    QFile file(PhotosLibraryReader::databaseOf(bundle));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size()) {
        return {};
    }
    return bundle;
}

// Every item and group of a catalogue's contents, asked what the lists ask.
qint64 walk(const CatalogueContents& contents);
qint64 walk(const std::vector<CatalogueGroup>& groups) {
    qint64 count = 0;
    for (const CatalogueGroup& group : groups) {
        count += static_cast<qint64>(group.items.size()) + walk(group.groups);
        (void)group.name.size();
    }
    return count;
}
qint64 walk(const CatalogueContents& contents) {
    for (const MediaItemPtr& item : contents.items) {
        (void)item->url();
        (void)item->matchesFilter(QStringLiteral("a"));
    }
    return static_cast<qint64>(contents.items.size()) + walk(contents.groups);
}

// The fuzzer sees coverage only in the code built here, not inside the
// decoding libraries: counting what a reader answered lets it tell apart
// inputs that reach different outcomes there. libFuzzer reads counters in
// this section as coverage of their own, and clears them for each input.
constexpr int kOutcomeSlots = 8;
constexpr int kBuckets = 16;
__attribute__((
    used, section("__libfuzzer_extra_counters"))) unsigned char outcomeCounters[kOutcomeSlots * kBuckets];

void feedback(std::initializer_list<qint64> outcomes) {
    int slot = 0;
    for (const qint64 outcome : outcomes) {
        // 0, negative, or one bucket per bit width of the number.
        const int width = outcome > 0 ? 64 - __builtin_clzll(static_cast<unsigned long long>(outcome)) : 0;
        const int bucket = outcome == 0 ? 0 : outcome < 0 ? 1 : 2 + std::min(width, kBuckets - 3);
        if (slot < kOutcomeSlots) {
            unsigned char& counter = outcomeCounters[slot * kBuckets + bucket];
            counter = static_cast<unsigned char>(counter + 1);
        }
        ++slot;
    }
}

// Asks a value every question a reader of catalogues may ask.
void walk(const PlistValue& value, int depth) {
    (void)value.toString();
    (void)value.toInteger();
    (void)value.toReal();
    (void)value.toBool();
    (void)value.toDate();
    (void)value.toData();
    (void)value.value(u"Tracks");
    for (const PlistValue& element : value.toArray()) {
        walk(element, depth + 1);
    }
    for (const auto& [key, entry] : value.toDictionary()) {
        (void)value.contains(key);
        walk(entry, depth + 1);
    }
}

} // namespace

void plist(QByteArrayView bytes) {
    walk(PlistReader::parse(bytes), 0);

    PlistReader reader;
    reader.setRootKeys({QStringLiteral("Major Version")});
    reader.streamDictionary(QStringLiteral("Tracks"), {QStringLiteral("Name"), QStringLiteral("Location")},
                            [](const QString& key, PlistValue&& record) {
                                (void)key.size();
                                walk(record, 0);
                            });
    reader.streamArray(QStringLiteral("Playlists"), {}, [](PlistValue&& record) { walk(record, 0); });
    walk(reader.read(bytes), 0);
}

void catalogue(QByteArrayView bytes) {
    // The bytes as the data KDE's file index keeps of what it found in a file.
    const BalooDocumentData::Properties tags = BalooDocumentData::parse(bytes);
    feedback(
        {tags.title.size(), tags.artist.size(), tags.album.size(), tags.albumArtist.size(), tags.duration});

    const QString path = memoryFile(bytes);
    if (path.isEmpty()) {
        return;
    }
    LoadProgress unobserved;
    feedback({walk(IPhotoReader(path).read(unobserved)),
              walk(ITunesReader(path, true, false).read(unobserved)),
              walk(ITunesReader(path, false, true).read(unobserved)),
              walk(RhythmboxReader(path, path).read(unobserved))});
}

void database(QByteArrayView bytes) {
    const QString path = namedMemoryFile(bytes);
    if (path.isEmpty()) {
        return;
    }
    LoadProgress unobserved;
    feedback({walk(ShotwellReader(path, {}, ShotwellReader::Media::Photos).read(unobserved)),
              walk(ShotwellReader(path, {}, ShotwellReader::Media::Videos).read(unobserved)),
              walk(DigikamReader(path, DigikamReader::Media::Pictures).read(unobserved)),
              walk(DigikamReader(path, DigikamReader::Media::Movies).read(unobserved)),
              walk(StrawberryReader(path, StrawberryReader::Media::Music).read(unobserved)),
              walk(StrawberryReader(path, StrawberryReader::Media::Movies).read(unobserved))});
    // The libraries added since, each reading the same bytes as its own kind.
    const ForeignPaths paths({});
    feedback({walk(DarktableReader::read(path, path, {}, unobserved)),
              walk(LightroomReader::read(path, LightroomReader::Media::Pictures, paths, unobserved)),
              walk(LightroomReader::read(path, LightroomReader::Media::Videos, paths, unobserved)),
              walk(ElisaReader::read(path, unobserved)), walk(LollypopReader::read(path, path, unobserved)),
              walk(KodiReader::readMusic(path, unobserved)), walk(KodiReader::readVideos(path, unobserved))});
    if (const QString bundle = memoryBundle(bytes); !bundle.isEmpty()) {
        feedback({walk(PhotosLibraryReader::read(bundle, PhotosLibraryReader::Media::Pictures, unobserved)),
                  walk(PhotosLibraryReader::read(bundle, PhotosLibraryReader::Media::Videos, unobserved))});
    }
}

void metadata(QByteArrayView bytes) {
    // The input as one tag value of each key, then as a file.
    MovieMetaDataItems items;
    items.push_back({MovieMetaDataKeyFormatItunesShort, MovieMetaDataKeyName, bytes.toByteArray()});
    items.push_back({MovieMetaDataKeyFormatItunesShort, MovieMetaDataKeyArtist,
                     bytes.sliced(bytes.size() / 2).toByteArray()});
    (void)TagValue(items, MovieMetaDataKeyName);
    (void)TagValue(items, MovieMetaDataKeyArtist);

    const QString path = memoryFile(bytes);
    if (path.isEmpty()) {
        return;
    }
    const Id3Tags tags = Id3Reader::read(path);
    const TrackMetaData movie = MovieMetaData(Path::fileUrl(path));
    feedback({tags.title.size(), tags.artist.size(), tags.duration, movie.name.size(), movie.artist.size(),
              movie.length});
}

void poster(QByteArrayView bytes) {
    const QString path = memoryFile(bytes);
    if (!path.isEmpty()) {
        const QImage image = MoviePoster::posterImage(path, QSize(64, 48));
        feedback(
            {image.width(), image.height(), image.format(), image.isNull() ? 0 : image.pixel(0, 0) & 0xFF});
    }
}

// A picture file that the shared cache's entries below stand for, and that
// cache itself: in memory (/dev/shm), made once, removed at exit. Nothing is
// ever written to it by the readers under test.
struct CacheFixture {
    QString picture;
    QString entry;
};

const CacheFixture& cacheFixture() {
    static const CacheFixture fixture = [] {
        CacheFixture made;
        QByteArray pattern("/dev/shm/qvmb-fuzz-cache-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            return made;
        }
        static const QString root = QString::fromLocal8Bit(pattern);
        std::atexit([] { QDir(root).removeRecursively(); });
        qputenv("XDG_CACHE_HOME", pattern);
        ThumbnailCache::setWritingEnabled(false);
        made.picture = root + QStringLiteral("/picture.jpg");
        QFile(made.picture).open(QIODevice::WriteOnly);
        QDir().mkpath(ThumbnailCache::root() + QStringLiteral("normal"));
        made.entry =
            ThumbnailCache::root() + QStringLiteral("normal/") + ThumbnailCache::entryName(made.picture);
        return made;
    }();
    return fixture;
}

// The bytes as a JPEG's embedded previews: each one's frame, and the preview
// the grid would take for a cell of the picture's own frame.
void previews(QByteArrayView bytes) {
    QBuffer buffer;
    buffer.setData(bytes.toByteArray());
    buffer.open(QIODevice::ReadOnly);
    const JpegPreviews::Header header = JpegPreviews::read(buffer);
    buffer.seek(0);
    const std::optional<JpegFrame> frame = JpegFrame::read(buffer);
    int fit = 0;
    for (const JpegPreviews::Preview& preview : header.previews) {
        QBuffer previewBuffer;
        previewBuffer.setData(preview.jpeg);
        previewBuffer.open(QIODevice::ReadOnly);
        const std::optional<JpegFrame> previewFrame = JpegFrame::read(previewBuffer);
        fit +=
            frame && previewFrame &&
            EmbeddedPreview::isFit(preview, *previewFrame, preview.jpeg.size(), *frame, header.orientation);
    }
    const QImage image = frame ? EmbeddedPreview::decode(header, *frame, QSize(48, 36)) : QImage();
    feedback({header.orientation, static_cast<int>(header.previews.size()), fit, image.width()});
}

// The bytes as an entry of the shared thumbnail cache, and as a failure record.
void cacheEntry(QByteArrayView bytes) {
    const CacheFixture& fixture = cacheFixture();
    if (fixture.entry.isEmpty()) {
        return;
    }
    QFile file(fixture.entry);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) < 0) {
        return;
    }
    file.close();
    const std::optional<ThumbnailCache::Stamp> stamp = ThumbnailCache::stampOf(fixture.picture);
    if (!stamp) {
        return;
    }
    const QImage found = ThumbnailCache::find(fixture.picture, *stamp, QSize(48, 36), QSize(640, 480));
    feedback({found.width(), found.height(), found.format()});
}

// The bytes through the cache's fast PNG reader alone, whatever keys they
// hold: what it decodes keeps within the bound it was given.
void cachePng(QByteArrayView bytes) {
    constexpr int kBound = 64;
    const ThumbnailPngReader::Result result = ThumbnailPngReader::read(bytes, kBound);
    const QImage& image = result.image;
    if (image.width() > kBound || image.height() > kBound ||
        (result.outcome == ThumbnailPngReader::Outcome::Decoded) == image.isNull()) {
        std::abort();
    }
    feedback({static_cast<int>(result.outcome), image.width(), image.height(),
              image.isNull() ? 0 : image.pixel(image.width() - 1, image.height() - 1) & 0xFF});
}

void namedPicture(QByteArrayView bytes, const char* extension);

void thumbnail(QByteArrayView bytes) {
    cacheEntry(bytes);
    cachePng(bytes);
    previews(bytes);
    namedPicture(bytes, "lrprev");
    const QString path = memoryFile(bytes);
    if (path.isEmpty()) {
        return;
    }
    const QSize size = ThumbnailDecoder::uprightSize(path);
    const QImage image = ThumbnailDecoder::decode(path, QSize(48, 36), size);
    feedback({size.width(), size.height(), image.format(), image.isNull() ? 0 : image.pixel(0, 0) & 0xFF});
}

// The grid's size and thumbnail of a file of the given extension.
void namedPicture(QByteArrayView bytes, const char* extension) {
    const QString path = memoryFile(bytes, extension);
    if (path.isEmpty()) {
        return;
    }
    const QSize size = ThumbnailDecoder::uprightSize(path);
    const QImage image = ThumbnailDecoder::decode(path, QSize(48, 36), size);
    feedback({size.width(), size.height(), image.format(), image.isNull() ? 0 : image.pixel(0, 0) & 0xFF});
}

void heif(QByteArrayView bytes) {
    namedPicture(bytes, "heic");
}

void raw(QByteArrayView bytes) {
    namedPicture(bytes, "dng");
}

void didl(QByteArrayView bytes) {
    const DidlReader::Result result = DidlReader::read(
        std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())), "127.0.0.1", 1000);
    // Whatever it read keeps to the record's shape.
    if (result.fields.size() != result.objects * HelperProtocol::kObjectFields) {
        std::abort();
    }
}

Function byName(const char* name) {
    static const struct {
        const char* name;
        Function function;
    } targets[] = {
        {"plist", plist},   {"catalogue", catalogue}, {"database", database}, {"metadata", metadata},
        {"poster", poster}, {"thumbnail", thumbnail}, {"heif", heif},         {"raw", raw},
        {"didl", didl}};
    for (const auto& target : targets) {
        if (std::strcmp(target.name, name) == 0) {
            return target.function;
        }
    }
    return nullptr;
}

} // namespace FuzzTargets
