#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

// The FFmpeg functions the movie readers call, taken from the libraries at
// run time (see SharedLibrary.h): the program starts without loading FFmpeg,
// which comes in with the first movie or track that is read.
#define QVMB_FFMPEG_FUNCTIONS(X)                                                                             \
    X(av_dict_free)                                                                                          \
    X(av_dict_get)                                                                                           \
    X(av_dict_set)                                                                                           \
    X(av_dict_set_int)                                                                                       \
    X(av_display_rotation_get)                                                                               \
    X(av_frame_alloc)                                                                                        \
    X(av_frame_free)                                                                                         \
    X(av_log_set_level)                                                                                      \
    X(av_packet_alloc)                                                                                       \
    X(av_packet_free)                                                                                        \
    X(av_packet_unref)                                                                                       \
    X(av_pix_fmt_desc_get)                                                                                   \
    X(av_read_frame)                                                                                         \
    X(av_rescale_q)                                                                                          \
    X(av_stream_get_side_data)                                                                               \
    X(avcodec_alloc_context3)                                                                                \
    X(avcodec_find_decoder)                                                                                  \
    X(avcodec_flush_buffers)                                                                                 \
    X(avcodec_free_context)                                                                                  \
    X(avcodec_open2)                                                                                         \
    X(avcodec_parameters_to_context)                                                                         \
    X(avcodec_receive_frame)                                                                                 \
    X(avcodec_send_packet)                                                                                   \
    X(avformat_close_input)                                                                                  \
    X(avformat_find_stream_info)                                                                             \
    X(avformat_open_input)                                                                                   \
    X(sws_freeContext)                                                                                       \
    X(sws_getContext)                                                                                        \
    X(sws_scale)

struct FFmpegApi {
#define QVMB_FFMPEG_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_FFMPEG_FUNCTIONS(QVMB_FFMPEG_POINTER)
#undef QVMB_FFMPEG_POINTER

    // The functions, loaded on first use (safe on any thread); null when
    // FFmpeg's libraries, of the versions built against, are not installed.
    static const FFmpegApi* load();
    // The same, once load() has answered them: every FFmpeg object the
    // readers hold was made through them.
    static const FFmpegApi& get() {
        return *load();
    }
};

// The loaded functions, for the readers' own files.
inline const FFmpegApi& av() {
    return FFmpegApi::get();
}
