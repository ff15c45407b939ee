#pragma once

#include <QByteArray>
#include <QIODevice>

#include <vector>

// The smaller pictures a camera's JPEG carries beside its main picture, read
// through libexif: the EXIF thumbnail (usually 160 x 120), and the images
// that follow the main one under a Multi-Picture Format index (the large
// preview, often 1920 pixels wide, that cameras write for their own screen).
// Only what the file states is reported; whether a preview is fit to stand
// for the picture (its size, shape, colours, orientation) is for the caller
// to judge. May run on any thread.
namespace JpegPreviews {

struct Preview {
    enum class Kind { ExifThumbnail, MultiPicture };
    Kind kind;
    QByteArray jpeg;
    // The EXIF orientation the preview states for itself; 0 when it states none.
    int orientation = 0;
};

struct Header {
    // The main picture's EXIF orientation, 1 when it states none.
    int orientation = 1;
    std::vector<Preview> previews;
};

// The previews the JPEG on device states, read from its headers and the
// previews' own bytes; nothing for a file that is no JPEG. Previews claiming
// to lie beyond the end of the file, or to be larger than kLargestPreview,
// are left out. The device is left at an undefined position.
Header read(QIODevice& device);

constexpr qint64 kLargestPreview = 16 * 1024 * 1024;

} // namespace JpegPreviews
