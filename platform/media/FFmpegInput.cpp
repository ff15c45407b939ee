#include "platform/media/FFmpegInput.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"

#include <vector>

namespace FFmpegInput {

void FormatContextDeleter::operator()(AVFormatContext* context) const {
    av().avformat_close_input(&context);
}

namespace {

bool loadQuietly() {
    if (FFmpegApi::load() == nullptr) {
        return false;
    }
    static const bool silenced = [] {
        av().av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)silenced;
    return true;
}

} // namespace

FormatContextPtr openRemote(const QByteArray& url) {
    if (!loadQuietly() || !(url.startsWith("http://") || url.startsWith("https://"))) {
        return nullptr;
    }
    AVDictionary* options = nullptr;
    av().av_dict_set(&options, "protocol_whitelist", "http,https,tcp,tls", 0);
    av().av_dict_set(&options, "rw_timeout", "15000000", 0); // microseconds
    av().av_dict_set(&options, "reconnect", "0", 0);
    AVFormatContext* context = nullptr;
    const int result = av().avformat_open_input(&context, url.constData(), nullptr, &options);
    av().av_dict_free(&options);
    if (result < 0) {
        return nullptr;
    }
    return FormatContextPtr(context);
}

FormatContextPtr open(const QString& path) {
    if (!loadQuietly()) {
        return nullptr;
    }

    if (path.isEmpty() || !FileSystem::isRegularFile(path)) {
        return nullptr;
    }
    const QByteArray native = Path::toNative(path);
    AVDictionary* options = nullptr;
    av().av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* context = nullptr;
    // The "file:" prefix keeps a name with a colon from being read as a protocol.
    const QByteArray url = QByteArray("file:") + native;
    const int result = av().avformat_open_input(&context, url.constData(), nullptr, &options);
    av().av_dict_free(&options);
    if (result < 0) {
        return nullptr;
    }
    return FormatContextPtr(context);
}

void findStreamInfo(AVFormatContext* context) {
    bool complete = context->nb_streams > 0;
    for (unsigned i = 0; complete && i < context->nb_streams; ++i) {
        const AVCodecParameters* parameters = context->streams[i]->codecpar;
        complete = parameters->codec_id != AV_CODEC_ID_NONE &&
                   (parameters->codec_type != AVMEDIA_TYPE_VIDEO || parameters->width > 0);
    }
    if (!complete) {
        readStreamInfo(context);
    }
}

void readStreamInfo(AVFormatContext* context) {
    std::vector<AVDictionary*> options(context->nb_streams, nullptr);
    for (AVDictionary*& streamOptions : options) {
        av().av_dict_set_int(&streamOptions, "max_pixels", kMaxPixels, 0);
    }
    av().avformat_find_stream_info(context, options.empty() ? nullptr : options.data());
    for (AVDictionary*& streamOptions : options) {
        av().av_dict_free(&streamOptions);
    }
}

} // namespace FFmpegInput
