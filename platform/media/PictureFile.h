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

} // namespace PictureFile
