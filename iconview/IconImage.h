#pragma once

#include "iconview/Geometry.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QPainter;
class QRectF;

class IconImage;
using IconImagePtr = std::shared_ptr<IconImage>;

// A picture the icon view draws. Either pixels held in memory, or a picture
// file that is only referred to: its size and its pixels are read off the
// main thread the first time it is drawn (the main thread never touches the
// file), straight to the size they are drawn at (never the full picture).
// Until they arrive the image has no size and draws nothing; the view shows
// a placeholder and then repaints the cells that show it
// (ThumbnailLoader::imageReady). A third kind is made
// once from a file by a function of the caller's, also off the main thread,
// for pictures whose size is only known once they are made (movie posters).
class IconImage : public std::enable_shared_from_this<IconImage> {
public:
    // Answers whether the image is still shown somewhere, so that decoding it
    // is worth while; asked just before its decoding would start.
    using StillWanted = std::function<bool()>;
    // Makes the picture for the file at path; runs on the loader's threads, so
    // it may touch nothing but the file. A null image when it cannot.
    using Maker = std::function<QImage(const QString& path)>;
    // The picture used instead when the maker gives none; runs on the main thread.
    using Fallback = std::function<QImage()>;

    static IconImagePtr fromImage(const QImage& image);
    // Reads nothing until the image is measured or drawn. A picture that
    // stands for another (a catalogue's preview of it) names that one as
    // fallbackPath: it is read instead when the picture cannot be.
    static IconImagePtr referencingFile(const QString& path, const QString& fallbackPath = {});
    // A picture that maker makes from the file at path, once, when it is first
    // asked for (requestPixels) or drawn. It has no size until it is made; it
    // then keeps the made picture's pixels and device-independent size, or
    // fallback's when maker gives none.
    static IconImagePtr madeFromFile(const QString& path, Maker maker, Fallback fallback = {});

    IconImage(const IconImage&) = delete;
    IconImage& operator=(const IconImage&) = delete;

    QString path() const { return _path; }
    bool refersToFile() const { return !_path.isNull(); }
    bool isMadeByFunction() const { return static_cast<bool>(_maker); }

    // Asks for the pixels of a picture made by a function, unless it has them
    // or they are being made (see drawInRect for owner and stillWanted).
    void requestPixels(const void* owner, const StillWanted& stillWanted);

    // The size in device-independent pixels, upright; empty until it is known
    // and when the file is not a readable picture. Reads nothing.
    QSizeF size() const { return _size; }
    // Whether the size is known: an image in memory, or a file image whose
    // first decoding has come back.
    bool sizeKnown() const { return _sizeRead; }
    // A file that is no picture that can be shown (empty, not a picture,
    // damaged): the view draws a placeholder for it, which can be selected
    // and dragged like any picture.
    bool isBroken() const { return _failed && _pixels.isNull(); }

    // Asks for the pixels of a file image whose size is not known yet, fitted
    // into a box of devicePixels (the cell's picture square).
    void requestPixelsWithin(QSize devicePixels, const void* owner, const StillWanted& stillWanted);

    // Draws the whole image into target. A file image without pixels for the
    // target's device size asks for them (owner identifies the asking view,
    // stillWanted tells whether it still shows the image) and draws what it
    // has: older pixels scaled, or nothing.
    void drawInRect(QPainter& painter, const QRectF& target, qreal opacity = 1.0, const void* owner = nullptr,
                    const StillWanted& stillWanted = {});

    // The pixels held now: the in-memory image, or the last decoded ones (null before).
    QImage pixels() const { return _pixels; }
    // Bytes held by the pixels.
    qsizetype byteCount() const { return _pixels.sizeInBytes(); }
    // Whether decoding the file failed; such an image is not asked for again
    // (unless its file was still changing, which is read again after a while).
    bool failed() const { return _failed; }

private:
    friend class ThumbnailLoader;
    IconImage() = default;

    // The pixel size the last draw asked for, and whether a request is queued or running.
    QSize wantedPixels() const { return _wanted; }
    // upright: the picture's size as shown, read with the pixels (file images).
    void receivePixels(const QImage& pixels, QSize upright = {});

    QString _path; // null for an in-memory image
    QString _fallbackPath;
    Maker _maker;
    Fallback _fallback;
    QImage _pixels;
    QSize _size;
    bool _sizeRead = false;
    QSize _wanted;
    bool _requested = false;
    bool _failed = false;
    bool _retryPending = false; // a file still being written is read again soon
};

// The whole image as a source rectangle (see srcRect of a QImage); an empty
// rectangle for no image.
NSRect srcRect(const IconImagePtr& image);
