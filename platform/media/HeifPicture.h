#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>

// HEIF pictures (a phone's HEIC photos) and AVIF images, read through libheif
// when it is installed (loaded with the first such picture). Only the file's
// primary image is shown: not the other pictures of a sequence or burst, nor
// depth maps or alpha planes stored beside it. The container's rotation and
// mirroring are applied by libheif; an EXIF orientation stored with the
// picture describes the coded pixels before them and is never applied again.
// Every function may run on any thread.
namespace HeifPicture {

// The file-name extensions of HEIF and AVIF pictures, in lower case.
const QStringList& extensions();
// Whether a file-name extension (any case) is one of them.
bool isHeifExtension(QStringView extension);

// Whether the bytes at the start of a file announce a HEIF or AVIF file.
bool looksLikeHeif(QByteArrayView head);

// The primary image's size as shown; an empty size when the file is not a
// picture libheif reads (or libheif is missing).
QSize uprightSize(const QString& path);

// The primary image as shown, at exactly box pixels: from the thumbnail the
// file stores when that is at least box, else from the primary image. Null
// when the file cannot be decoded or is larger than pictures may be.
QImage thumbnail(const QString& path, QSize box);

// The primary image's EXIF block as libexif reads it (starting "Exif\0\0",
// then the TIFF header); empty when the file stores none.
QByteArray exifBlock(const QString& path);

} // namespace HeifPicture
