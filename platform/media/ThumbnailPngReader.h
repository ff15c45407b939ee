#pragma once

#include <QByteArrayView>
#include <QImage>

// A fast reader for the PNG files of the shared thumbnail cache, for the kind
// nearly every thumbnailer writes: 8-bit RGB or RGBA, not interlaced. The
// pixel stream is inflated by libdeflate in one call into a buffer of exactly
// the size the header states, and the rows' filters are undone as they are
// turned into the image the grid draws (RGB32 when opaque, premultiplied
// ARGB32 with alpha). Text chunks (tEXt, zTXt, iTXt) become the image's texts.
//
// Every other kind (palette, grey, 16 bits, interlaced, transparency chunks,
// unusual chunk order) is left to Qt's reader. Nothing is trusted: chunks
// must lie within the bytes and their CRCs match, the picture must be within
// maxSide on both sides, and the stream must inflate to exactly the expected
// size (a bomb or a short stream is refused without allocating more than the
// expected size). May run on any thread.
namespace ThumbnailPngReader {

enum class Outcome {
    Decoded,   // image holds the picture and its texts
    Refused,   // damaged, or larger than allowed: not a usable thumbnail
    NotHandled // a valid-looking PNG of another kind: ask Qt's reader
};

struct Result {
    Outcome outcome = Outcome::Refused;
    QImage image;
};

Result read(QByteArrayView png, int maxSide);

} // namespace ThumbnailPngReader
