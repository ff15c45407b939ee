#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Pictures as phones and cameras write them, made on the spot: HEIF and AVIF
// files encoded by heif-enc (libheif-examples), and DNG files (camera RAW in
// TIFF form) written here with an embedded JPEG preview.
namespace CameraFixtures {

struct HeifOptions {
    bool avif = false;
    // An EXIF orientation stored with the picture (0: no EXIF).
    int exifOrientation = 0;
    // The container's rotation, in anticlockwise quarter turns (0: none).
    int quarterTurnsAnticlockwise = 0;
    // The side of a thumbnail stored beside the picture (0: none).
    int thumbnailSide = 0;
};

// Encodes image into a HEIF (or AVIF) file at path (making its directory); fails the calling test
// and answers an empty string when heif-enc cannot.
QString heif(const QString& path, const QImage& image, const HeifOptions& options = {});

struct DngOptions {
    QByteArray previewJpeg; // none: no preview
    quint16 orientation = 1;
    QSize rawSize = QSize(64, 48);
    quint16 rawLevel = 0x2000; // every raw sample
    // The preview's length as recorded (0: its true length).
    quint32 recordedPreviewLength = 0;
    // The raw data's length as recorded (0: its true length).
    quint32 recordedRawLength = 0;
};

// The bytes of a DNG file: the preview in the first directory, the raw
// mosaic (16-bit, uncompressed, RGGB) in a sub-directory.
QByteArray dng(const DngOptions& options);

struct CameraJpegOptions {
    int orientation = 0;          // the picture's EXIF orientation (0: none)
    QImage exifThumbnail;         // none: no EXIF thumbnail
    int thumbnailOrientation = 0; // an orientation in the thumbnail's own directory (0: none)
    QImage preview;               // a Multi-Picture preview after the picture (none: no MPF)
    int previewOrientation = 0;   // an EXIF orientation inside that preview (0: none)
};

// A camera's JPEG of picture written to path (making its directory): the
// EXIF orientation and thumbnail written by exiftool, then the preview
// appended under a Multi-Picture index as cameras store it. Fails the
// calling test and answers an empty string when exiftool cannot.
QString cameraJpeg(const QString& path, const QImage& picture, const CameraJpegOptions& options = {});

// jpeg with preview appended after it, listed as its large thumbnail in an
// MPF segment placed after the EXIF segment (or the start of the file).
QByteArray withMultiPicture(const QByteArray& jpeg, const QByteArray& preview);

} // namespace CameraFixtures
