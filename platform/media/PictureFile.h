#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// What the picture readers of other libraries share: opening files safely,
// the bound on what a picture may make us allocate, and the last steps of a
// thumbnail.
namespace PictureFile {

// The largest picture, in bytes of decoded pixels, that a reader may make:
// the image readers' allocation limit, so that every format is bounded alike.
qint64 allocationLimitBytes();
// Whether a picture of size, at bytesPerPixel, stays within that limit.
bool fitsAllocationLimit(QSize size, int bytesPerPixel);

// Whether path names a regular file (followed through links). FIFOs and
// devices are never pictures: reading them could block or never end.
bool isRegularFile(const QString& path);

// A descriptor open for reading on the regular file at path, opened by its
// exact bytes without blocking (a FIFO would wait for a writer); -1 when it
// cannot be opened or is not a regular file. The caller closes it.
int openRegular(const QString& path);

// Whether an image of size covers box, allowing a pixel of rounding.
bool covers(QSize size, QSize box);

// image scaled smoothly to exactly box pixels, as a picture of its own
// (never sharing the pixels image refers to). A reduction of a picture of 8-bit
// RGB or RGBA averages each box of source pixels straight into the result, in
// one pass over the source (no conversion of the whole picture first).
QImage scaledCopy(const QImage& image, QSize box);

// A decoded picture's 8-bit luma and chroma planes (the chroma planes may be
// subsampled), with the matrix that turns them into RGB: kr and kb, the red
// and blue luma weights (BT.601: 0.299 and 0.114), and whether the samples
// use the full 0-255 range or the studio range (16-235, chroma 16-240).
struct YCbCrPlanes {
    const uchar* luma = nullptr;
    int lumaStride = 0;
    QSize lumaSize;
    const uchar* cb = nullptr;
    int cbStride = 0;
    const uchar* cr = nullptr;
    int crStride = 0;
    QSize chromaSize;
    double kr = 0.299;
    double kb = 0.114;
    bool fullRange = true;
};

// The planes reduced to exactly box pixels (no larger than the luma plane)
// as opaque RGB: each plane averaged over the area each result pixel covers,
// then only those pixels turned into RGB, so that a large picture is never
// converted whole. Null when box is empty or larger than the picture.
QImage reducedFromYCbCr(const YCbCrPlanes& planes, QSize box);

} // namespace PictureFile
