#pragma once

#include <QDateTime>
#include <QString>

// What a picture file says about itself beyond its pixels: when it was taken
// and with which camera, from its EXIF (JPEG, HEIF and AVIF, read with libexif)
// or, for camera RAW files, from LibRaw. Reads only the file's header and
// metadata, never its pixels; may run on any thread.
namespace PictureDetails {

struct Details {
    // When the picture was taken, in the camera's local time; invalid when
    // the file does not say.
    QDateTime taken;
    // The camera's maker and model ("Canon EOS 5D"); empty when the file does not say.
    QString camera;
};

Details read(const QString& path);

// The camera's name from the maker and model fields: the model alone when it
// already starts with the maker's name, as most cameras write it.
QString cameraName(const QString& make, const QString& model);

} // namespace PictureDetails
