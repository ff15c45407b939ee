#pragma once

#include "platform/media/FFmpegApi.h"

#include <QString>

#include <memory>

// Opening files with FFmpeg, shared by the movie readers of this folder.
namespace FFmpegInput {

struct FormatContextDeleter {
    void operator()(AVFormatContext* context) const;
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextDeleter>;

// Opens the file at path (followed through links) for demuxing. Answers null
// unless it is a regular file that a demuxer recognises: FIFOs, sockets and
// devices are never opened, since opening a FIFO blocks until a writer comes.
// Only the file protocol is allowed, so a playlist-like file cannot make
// FFmpeg reach the network. FFmpeg's own logging is silenced.
FormatContextPtr open(const QString& path);

// Opens a media server's stream at an http or https URL: only the web's
// protocols are allowed (a playlist-like answer cannot reach local files),
// and a server that stops sending gives up after a few seconds.
FormatContextPtr openRemote(const QByteArray& url);

// The largest picture a decoder is allowed to make: the same bound as Qt's
// image readers (256 MB of 32-bit pixels), far above 8K video. A file of a
// few bytes can claim any size, and decoders allocate what it claims.
inline constexpr int kMaxPixels = 8192 * 8192;

// Makes sure the streams' parameters are known, reading ahead only when the
// container's header did not give them.
void findStreamInfo(AVFormatContext* context);

// Reads ahead to learn the streams' parameters and durations, decoding
// pictures no larger than kMaxPixels.
void readStreamInfo(AVFormatContext* context);

} // namespace FFmpegInput
