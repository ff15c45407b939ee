#include "platform/media/MovieFile.h"

#include "platform/media/FFmpegInput.h"
#include "platform/system/ExtensionSet.h"
#include "platform/system/Path.h"

#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

const ExtensionSet& movieExtensions() {
    // FFmpeg's own demuxer extension lists miss common types (wav, aiff, mpg,
    // ts, wma), so the set is kept by hand. Lower case; lookups fold case.
    static const ExtensionSet extensions = [] {
        QSet<QString> set;
        for (const char* extension :
             {// audio
              "mp3", "m4a", "m4b", "aac", "wav", "aif", "aiff", "aifc", "flac", "ogg", "oga", "opus", "wma",
              "ape", "mpc", "wv", "caf", "ac3", "mka", "mp2", "amr", "m4r", "au", "snd",
              // video
              "mp4", "m4v", "mov", "qt", "mkv", "webm", "avi", "mpg", "mpeg", "m2ts", "mts", "ts", "vob",
              "3gp", "3g2", "3gpp", "wmv", "asf", "flv", "f4v", "ogv", "dv", "m2v", "rm", "rmvb"}) {
            set.insert(QString::fromLatin1(extension));
        }
        return ExtensionSet(set);
    }();
    return extensions;
}

// FFmpeg's generic tag names, which every demuxer maps its own tags onto, and
// the short-form keys they stand for.
struct KeyMapping {
    const char* tag;
    quint32 key;
};
constexpr KeyMapping kKeyMappings[] = {
    {"title", MovieMetaDataKeyName},        {"artist", MovieMetaDataKeyArtist},
    {"album", MovieMetaDataKeyAlbum},       {"comment", MovieMetaDataKeyComment},
    {"date", MovieMetaDataKeyYear},         {"genre", MovieMetaDataKeyGenre},
    {"composer", MovieMetaDataKeyComposer},
};

} // namespace

struct MovieFile::Input {
    FFmpegInput::FormatContextPtr context;

    // The tag from the container, or, for Ogg, which keeps a file's comments
    // on its stream (Vorbis, Opus, FLAC in Ogg), from the first stream that
    // has it. Elsewhere a stream's tags describe that stream only: a Matroska
    // audio track titled "English" does not name the movie.
    const AVDictionaryEntry* tag(const char* name) const {
        if (const AVDictionaryEntry* entry = av().av_dict_get(context->metadata, name, nullptr, 0)) {
            return entry;
        }
        if (context->iformat == nullptr || std::strcmp(context->iformat->name, "ogg") != 0) {
            return nullptr;
        }
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            if (const AVDictionaryEntry* entry =
                    av().av_dict_get(context->streams[i]->metadata, name, nullptr, 0)) {
                return entry;
            }
        }
        return nullptr;
    }
};

bool MovieFile::canOpen(const QString& path) {
    const QStringView extension = Path::extensionView(path);
    // Folded into a small buffer: no extension in the set is longer.
    constexpr qsizetype kLongest = 8;
    if (extension.isEmpty() || extension.size() > kLongest) {
        return false;
    }
    QChar lower[kLongest];
    for (qsizetype i = 0; i < extension.size(); ++i) {
        lower[i] = extension[i].toLower();
    }
    return movieExtensions().contains(QStringView(lower, extension.size()));
}

bool MovieFile::canOpen(const QUrl& url) {
    const QString path = Path::localPath(url);
    return !path.isNull() && canOpen(path);
}

std::unique_ptr<MovieFile> MovieFile::open(const QString& path) {
    FFmpegInput::FormatContextPtr context = FFmpegInput::open(path);
    if (!context) {
        return nullptr;
    }
    auto input = std::make_unique<Input>();
    input->context = std::move(context);
    return std::unique_ptr<MovieFile>(new MovieFile(std::move(input)));
}

std::unique_ptr<MovieFile> MovieFile::open(const QUrl& url) {
    const QString path = Path::localPath(url);
    return path.isNull() ? nullptr : open(path);
}

MovieFile::MovieFile(std::unique_ptr<Input> input)
    : _input(std::move(input)) {
}

MovieFile::~MovieFile() = default;

QString MovieFile::displayName() const {
    const AVDictionaryEntry* title = _input->tag("title");
    return title == nullptr ? QString() : QString::fromUtf8(title->value);
}

qint64 MovieFile::durationSeconds() const {
    AVFormatContext* context = _input->context.get();
    if (context->duration == AV_NOPTS_VALUE) {
        // Many audio containers give only their streams' lengths in the header.
        int64_t longest = AV_NOPTS_VALUE;
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            const AVStream* stream = context->streams[i];
            if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
                longest =
                    std::max(longest, av().av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q));
            }
        }
        if (longest != AV_NOPTS_VALUE) {
            return longest / AV_TIME_BASE;
        }
        // The rest only know it after reading ahead (or estimating from the bit rate).
        FFmpegInput::readStreamInfo(context);
    }
    if (context->duration == AV_NOPTS_VALUE || context->duration < 0) {
        return -1;
    }
    return context->duration / AV_TIME_BASE;
}

MovieMetaDataItems MovieFile::metaData() const {
    MovieMetaDataItems items;
    for (const KeyMapping& mapping : kKeyMappings) {
        if (const AVDictionaryEntry* entry = _input->tag(mapping.tag)) {
            items.push_back({MovieMetaDataKeyFormatItunesShort, mapping.key, QByteArray(entry->value)});
        }
    }
    return items;
}
