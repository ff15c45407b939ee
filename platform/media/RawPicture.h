#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Camera RAW files (CR2, CR3, NEF, ARW, DNG, RAF, ORF, RW2, PEF, ...) read
// through LibRaw when it is installed (loaded with the first RAW drawn). A
// thumbnail comes from the preview the camera embedded, found without reading
// the raw data; only a file without a usable preview has its raw data
// decoded, at half size (never fully demosaiced). Every function may run on
// any thread.
namespace RawPicture {

// The file-name extensions of camera RAW formats, in lower case.
const QStringList& extensions();
// Whether a file-name extension (any case) is one of them.
bool isRawExtension(QStringView extension);

// The picture's size as shown, turned by its orientation; an empty size when
// the file is not a RAW file LibRaw reads (or LibRaw is missing).
QSize uprightSize(const QString& path);

// What a thumbnail of box pixels (as shown) is made from.
struct Preview {
    // An embedded JPEG, still to be decoded, or
    QByteArray jpeg;
    // pixels: an embedded bitmap, or the raw data decoded at half size.
    QImage pixels;
    // How the JPEG or pixels are turned to show them upright (see upright()).
    int flip = 0;
};

// The embedded preview (the largest the file holds) when it covers box or
// the raw data at half size would be no larger, else the raw data at half
// size, else the smaller preview; none when the file is
// not readable, or its largest preview or raw data would make more than a
// picture may. A preview whose recorded length runs past the file's end is
// not used.
std::optional<Preview> preview(const QString& path, QSize box);

// What the camera recorded in the file: its maker and model (empty when not
// recorded) and when the picture was taken, in seconds since the epoch (0
// when not recorded).
struct Recorded {
    QString make;
    QString model;
    qint64 taken = 0;
};
Recorded recorded(const QString& path);

// Whether flip turns the picture a quarter (its width becomes its height).
inline bool isQuarterTurn(int flip) {
    return (flip & 4) != 0;
}
// image turned upright by flip (mirrored, then rows and columns swapped).
QImage upright(QImage image, int flip);

} // namespace RawPicture
