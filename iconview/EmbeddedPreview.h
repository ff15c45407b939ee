#pragma once

#include "iconview/JpegFrame.h"
#include "platform/media/JpegPreviews.h"

#include <QImage>
#include <QSize>

// Chooses and decodes the embedded preview of a camera's JPEG that can stand
// for the picture in a cell. A preview is used only when it shows the same
// picture as the main image would: the same shape (within rounding), the
// same colours (as many components: a grey preview never stands for a colour
// picture), no orientation of its own that differs from the picture's, a
// size no larger than the picture's and at least the cell's, and no more
// pixels claimed than its bytes can hold. May run on any thread.
namespace EmbeddedPreview {

// Whether preview (its frame as read, of its bytes) is fit to stand for a
// picture whose main frame is picture, shown with header's orientation.
bool isFit(const JpegPreviews::Preview& preview, const JpegFrame& frame, qint64 bytes,
           const JpegFrame& picture, int pictureOrientation);

// The smallest fit preview that covers box (pixels as shown, upright),
// decoded to exactly box and turned upright by the picture's orientation;
// a null image when none does.
QImage decode(const JpegPreviews::Header& header, const JpegFrame& picture, QSize box);

// image turned as EXIF orientation (1 to 8) says it must be to be shown.
QImage upright(const QImage& image, int orientation);
bool isQuarterTurn(int orientation);

// The most pixels a JPEG preview may claim for each of its bytes: even a
// flat grey picture needs a few bits for every block of 64 pixels.
constexpr qint64 kMostPixelsPerByte = 1024;

} // namespace EmbeddedPreview
