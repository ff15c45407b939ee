#include "platform/media/Id3Reader.h"

#include "platform/system/Path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/tfilestream.h>
#include <unistd.h>

namespace Id3Reader {

namespace {

QString valueOrNull(const TagLib::String& value) {
    if (value.isEmpty()) {
        return {};
    }
    return QString::fromWCharArray(value.toCWString(), static_cast<qsizetype>(value.size()));
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
    if (const TagLib::AudioProperties* properties = file.audioProperties()) {
        tags.duration = static_cast<quint32>(properties->lengthInSeconds());
    }
    return tags;
}

} // namespace Id3Reader
