#include "platform/media/MoviePoster.h"

#include "platform/media/FFmpegInput.h"

#include <QTransform>

#include <cmath>

namespace MoviePoster {

namespace {

struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { av().avcodec_free_context(&context); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av().av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av().av_packet_free(&packet); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

// Enough to get past leading audio and unreadable packets, not so many that a
// broken file is read to its end.
constexpr int kMaxPackets = 2000;

// The movie's own video stream if it has one, else its cover picture; -1 for neither.
int pictureStream(const AVFormatContext* context) {
    int cover = -1;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO ||
            av().avcodec_find_decoder(stream->codecpar->codec_id) == nullptr) {
            continue;
        }
        if ((stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
            return static_cast<int>(i);
        }
        if (cover < 0 && stream->attached_pic.size > 0) {
            cover = static_cast<int>(i);
        }
    }
    return cover;
}

CodecContextPtr openDecoder(const AVStream* stream) {
    const AVCodec* codec = av().avcodec_find_decoder(stream->codecpar->codec_id);
    CodecContextPtr decoder(av().avcodec_alloc_context3(codec));
    if (!decoder || av().avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
        return nullptr;
    }
    decoder->thread_count = 1;
    decoder->max_pixels = FFmpegInput::kMaxPixels;
    // A poster is a small picture: deblocking and exact rounding are not worth the time.
    decoder->skip_loop_filter = AVDISCARD_ALL;
    decoder->flags2 |= AV_CODEC_FLAG2_FAST;
    if (av().avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    return decoder;
}

bool receive(AVCodecContext* decoder, AVFrame* frame) {
    return av().avcodec_receive_frame(decoder, frame) == 0;
}

// Decodes the first frame of the stream. The first key frame is decoded on
// its own by draining the decoder right after it, so a decoder that holds
// frames back for reordering gives it up at once instead of after several more.
bool decodeFirstFrame(AVFormatContext* context, int streamIndex, AVCodecContext* decoder, AVFrame* frame) {
    const AVStream* stream = context->streams[streamIndex];
    if ((stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
        if (av().avcodec_send_packet(decoder, &stream->attached_pic) < 0) {
            return false;
        }
        av().avcodec_send_packet(decoder, nullptr);
        return receive(decoder, frame);
    }
    PacketPtr packet(av().av_packet_alloc());
    bool seenKey = false;
    for (int count = 0; count < kMaxPackets && av().av_read_frame(context, packet.get()) >= 0; ++count) {
        if (packet->stream_index != streamIndex) {
            av().av_packet_unref(packet.get());
            continue;
        }
        const bool key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        seenKey = seenKey || key;
        // Frames before the first key frame cannot be decoded correctly.
        if (!seenKey) {
            av().av_packet_unref(packet.get());
            continue;
        }
        const int sent = av().avcodec_send_packet(decoder, packet.get());
        av().av_packet_unref(packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN)) {
            continue;
        }
        if (receive(decoder, frame)) {
            return true;
        }
        if (key) {
            av().avcodec_send_packet(decoder, nullptr);
            if (receive(decoder, frame)) {
                return true;
            }
            av().avcodec_flush_buffers(decoder);
        }
    }
    av().avcodec_send_packet(decoder, nullptr);
    return receive(decoder, frame);
}

// Clockwise rotation in degrees (0, 90, 180, 270) asked for by the stream.
int rotation(const AVStream* stream) {
    size_t size = 0;
    const uint8_t* matrix = av().av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix == nullptr || size < 9 * sizeof(int32_t)) {
        return 0;
    }
    const double counterClockwise = av().av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(counterClockwise)) {
        return 0;
    }
    const int degrees = static_cast<int>(std::lround(-counterClockwise / 90.0)) * 90;
    return ((degrees % 360) + 360) % 360;
}

bool hasAlpha(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av().av_pix_fmt_desc_get(format);
    return descriptor != nullptr && (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
}

// The frame scaled to size as a 32-bit image (byte order B, G, R, A as QImage
// keeps it on little-endian machines).
QImage convert(const AVFrame* frame, const QSize& size) {
    const auto format = static_cast<AVPixelFormat>(frame->format);
    const bool alpha = hasAlpha(format);
    // swscale's vector code writes rows in blocks of several pixels, past the
    // end of a row and of the last row of a buffer of the exact size (a movie
    // 34 pixels wide and 1,560 high, shown 1 pixel wide, overran the heap):
    // it scales into rows padded to 16 pixels with a spare row below.
    const int paddedWidth = (size.width() + 15) / 16 * 16;
    QImage image(paddedWidth, size.height() + 1, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    // Enlarging shows the interpolation: bicubic there, the faster bilinear when reducing.
    const bool enlarging = size.width() > frame->width || size.height() > frame->height;
    SwsContext* scaler =
        av().sws_getContext(frame->width, frame->height, format, size.width(), size.height(),
                            Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AV_PIX_FMT_BGRA : AV_PIX_FMT_ARGB,
                            enlarging ? SWS_BICUBIC : SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (scaler == nullptr) {
        return {};
    }
    uint8_t* destination[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int destinationStride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    const int rows = av().sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, destination,
                                    destinationStride);
    av().sws_freeContext(scaler);
    return rows > 0 ? image.copy(0, 0, size.width(), size.height()) : QImage();
}

// The frame's size as shown: its pixels stretched by the sample aspect ratio
// and turned by rotation.
QSizeF shownSize(const AVFrame* frame, AVRational sampleAspect, int rotation) {
    double width = frame->width;
    const double height = frame->height;
    if (sampleAspect.num > 0 && sampleAspect.den > 0) {
        width = width * sampleAspect.num / sampleAspect.den;
    }
    const bool quarterTurn = rotation == 90 || rotation == 270;
    return quarterTurn ? QSizeF(height, width) : QSizeF(width, height);
}

// The shown picture fitted into box without enlarging.
QSize fittedInBox(const QSizeF& shown, const QSize& box) {
    const double scale = std::min({1.0, box.width() / shown.width(), box.height() / shown.height()});
    return {std::max(1, static_cast<int>(std::lround(shown.width() * scale))),
            std::max(1, static_cast<int>(std::lround(shown.height() * scale)))};
}

QImage posterFrom(FFmpegInput::FormatContextPtr context, const PosterSize& pixelSize);

} // namespace

QImage posterImage(const QString& path, const QSize& box) {
    if (box.width() <= 0 || box.height() <= 0) {
        return {};
    }
    return posterImage(path, [box](const QSizeF& shown) { return fittedInBox(shown, box); });
}

QImage posterImage(const QString& path, const PosterSize& pixelSize) {
    return posterFrom(FFmpegInput::open(path), pixelSize);
}

QImage remotePosterImage(const QUrl& url, const PosterSize& pixelSize) {
    return posterFrom(FFmpegInput::openRemote(url.toEncoded()), pixelSize);
}

namespace {

QImage posterFrom(FFmpegInput::FormatContextPtr context, const PosterSize& pixelSize) {
    if (!context) {
        return {};
    }
    FFmpegInput::findStreamInfo(context.get());
    const int streamIndex = pictureStream(context.get());
    if (streamIndex < 0) {
        return {};
    }
    AVStream* stream = context->streams[streamIndex];
    // Only the picture's stream needs demuxing.
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        context->streams[i]->discard = static_cast<int>(i) == streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    CodecContextPtr decoder = openDecoder(stream);
    FramePtr frame(av().av_frame_alloc());
    if (!decoder || !frame || !decodeFirstFrame(context.get(), streamIndex, decoder.get(), frame.get()) ||
        frame->width <= 0 || frame->height <= 0) {
        return {};
    }
    const int turn = rotation(stream);
    const AVRational sampleAspect =
        frame->sample_aspect_ratio.num > 0 ? frame->sample_aspect_ratio : stream->sample_aspect_ratio;
    const QSize upright = pixelSize(shownSize(frame.get(), sampleAspect, turn));
    if (upright.width() <= 0 || upright.height() <= 0) {
        return {};
    }
    // The size before turning, so that the turned picture has the chosen size.
    const bool quarterTurn = turn == 90 || turn == 270;
    QImage image = convert(frame.get(), quarterTurn ? upright.transposed() : upright);
    if (turn != 0 && !image.isNull()) {
        image = image.transformed(QTransform().rotate(turn));
    }
    return image;
}

} // namespace

} // namespace MoviePoster
