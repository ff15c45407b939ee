#include "platform/Id3Reader.h"

#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <taglib/mpegfile.h>
#include <taglib/tag.h>

namespace Id3Reader {

namespace {

QString valueOrNull(const TagLib::String& value) {
    return value.isEmpty() ? QString() : QString::fromStdString(value.to8Bit(true));
}

} // namespace

Id3Tags read(const QString& path) {
    Id3Tags tags;
    if (path.isEmpty() || !FileSystem::isRegularFile(path)) {
        return tags;
    }
    const QByteArray native = Path::toNative(path);
    TagLib::MPEG::File file(native.constData(), true, TagLib::AudioProperties::Fast);
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
