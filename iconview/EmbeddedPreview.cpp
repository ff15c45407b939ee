#include "iconview/EmbeddedPreview.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>

#include <cmath>

namespace EmbeddedPreview {

namespace {

// The two shapes agree when the preview is the picture scaled and rounded
// to whole pixels (each side off by at most a pixel and a half): a
// letterboxed 160 x 120 thumbnail of a 3:2 picture is turned away.
bool sameShape(QSize preview, QSize picture) {
    const qint64 across =
        qint64(preview.width()) * picture.height() - qint64(preview.height()) * picture.width();
    return std::abs(across) * 2 <= 3 * (qint64(picture.width()) + picture.height());
}

bool covers(QSize size, QSize box) {
    return size.width() + 1 >= box.width() && size.height() + 1 >= box.height();
}

} // namespace

bool isQuarterTurn(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

QImage upright(const QImage& image, int orientation) {
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7:
        return image.transformed(QTransform().rotate(90)).mirrored(false, true);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}

bool isFit(const JpegPreviews::Preview& preview, const JpegFrame& frame, qint64 bytes,
           const JpegFrame& picture, int pictureOrientation) {
    const QSize size(frame.width(), frame.height());
    const QSize pictureSize(picture.width(), picture.height());
    if (size.isEmpty() || size.width() > pictureSize.width() || size.height() > pictureSize.height()) {
        return false;
    }
    if (qint64(size.width()) * size.height() > bytes * kMostPixelsPerByte) {
        return false;
    }
    if (frame.componentCount() != picture.componentCount()) {
        return false;
    }
    if (preview.orientation != 0 && preview.orientation != pictureOrientation) {
        return false;
    }
    return sameShape(size, pictureSize);
}

QImage decode(const JpegPreviews::Header& header, const JpegFrame& picture, QSize box) {
    if (box.isEmpty()) {
        return {};
    }
    const bool turned = isQuarterTurn(header.orientation);
    const JpegPreviews::Preview* best = nullptr;
    qint64 bestPixels = 0;
    for (const JpegPreviews::Preview& preview : header.previews) {
        QBuffer buffer;
        buffer.setData(preview.jpeg);
        buffer.open(QIODevice::ReadOnly);
        const std::optional<JpegFrame> frame = JpegFrame::read(buffer);
        if (!frame || !isFit(preview, *frame, preview.jpeg.size(), picture, header.orientation)) {
            continue;
        }
        QSize shown(frame->width(), frame->height());
        if (turned) {
            shown.transpose();
        }
        const qint64 pixels = qint64(shown.width()) * shown.height();
        if (covers(shown, box) && (best == nullptr || pixels < bestPixels)) {
            best = &preview;
            bestPixels = pixels;
        }
    }
    if (best == nullptr) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(best->jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    // The picture's orientation applies, not one the preview may state.
    reader.setAutoTransform(false);
    reader.setScaledSize(turned ? box.transposed() : box);
    const QImage image = reader.read();
    return image.isNull() ? QImage() : upright(image, header.orientation);
}

} // namespace EmbeddedPreview
