#include "platform/media/Id3Reader.h"

#include "platform/system/Path.h"

#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/tfilestream.h>
#include <taglib/xingheader.h>
#include <unistd.h>

namespace Id3Reader {

namespace {

QString valueOrNull(const TagLib::String& value) {
    if (value.isEmpty()) {
        return {};
    }
    return QString::fromWCharArray(value.toCWString(), static_cast<qsizetype>(value.size()));
}

// The seconds a file cut short (a download broken off, a copy interrupted)
// really plays. Its Xing or Info header still counts the frames of the whole
// stream, and so the length of the whole; the header also tells the
// stream's bytes, so the bytes really there tell the share that plays. None
// for a file that is whole or has no such header.
std::optional<quint32> playedLength(TagLib::MPEG::File& file, const TagLib::MPEG::Properties& properties) {
    const TagLib::MPEG::XingHeader* header = properties.xingHeader();
    if (header == nullptr || header->totalSize() == 0) {
        return std::nullopt;
    }
    const qint64 streamBytes = header->totalSize();
    const qint64 first = file.firstFrameOffset();
    qint64 end = file.length();
    if (file.hasID3v1Tag()) {
        end -= 128;
    }
    const qint64 present = end - first;
    // A few bytes short is rounding or a tag the header did not count.
    if (first < 0 || present <= 0 || present >= streamBytes - streamBytes / 100) {
        return std::nullopt;
    }
    const double whole = properties.lengthInMilliseconds() / 1000.0;
    const double played = whole * static_cast<double>(present) / static_cast<double>(streamBytes);
    // A spoilt header can claim any length: only one a track can have is kept.
    if (!(played >= 0.0 && played <= static_cast<double>(std::numeric_limits<quint32>::max()))) {
        return std::nullopt;
    }
    return static_cast<quint32>(played);
}

} // namespace

Id3Tags read(const QString& path) {
    Id3Tags tags;
    if (path.isEmpty()) {
        return tags;
    }
    // Opened without blocking and checked on the open descriptor, so a FIFO
    // (even one put in the file's place since it was listed) is never read.
    const int fd = open(Path::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return tags;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return tags;
    }
    TagLib::FileStream stream(fd, true); // takes the descriptor over
    if (!stream.isOpen()) {
        return tags;
    }
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), true,
                            TagLib::AudioProperties::Fast);
    if (!file.isValid()) {
        return tags;
    }
    if (file.hasID3v2Tag() || file.hasID3v1Tag() || file.hasAPETag()) {
        if (const TagLib::Tag* tag = file.tag()) {
            tags.title = valueOrNull(tag->title());
            tags.artist = valueOrNull(tag->artist());
        }
    }
    if (const TagLib::MPEG::Properties* properties = file.audioProperties()) {
        tags.duration = static_cast<quint32>(properties->lengthInSeconds());
        if (const std::optional<quint32> played = playedLength(file, *properties)) {
            tags.duration = *played;
        }
    }
    return tags;
}

} // namespace Id3Reader
