#pragma once

#include <QIODevice>
#include <QSize>
#include <QtGlobal>

#include <optional>
#include <vector>

// What a JPEG file's headers say about the frame, read without decoding it.
// The thumbnail decoder uses it to refuse, before libjpeg starts, pictures
// whose decoding would hold every coefficient of the whole image in memory:
// a file of a few hundred bytes can claim a frame that needs gigabytes.
class JpegFrame {
public:
    struct Component {
        int horizontalSampling = 1;
        int verticalSampling = 1;
    };

    // The frame of the JPEG the device holds, read from its current position
    // up to the first scan; nothing when the device holds no JPEG frame
    // followed by a scan. The device is left where reading stopped.
    static std::optional<JpegFrame> read(QIODevice& device);

    int width() const { return _width; }
    int height() const { return _height; }
    bool isProgressive() const { return _progressive; }
    int componentCount() const { return static_cast<int>(_components.size()); }

    // Whether libjpeg must buffer the coefficients of the whole image before
    // it can output a row: progressive frames, and sequential frames whose
    // first scan leaves components for later scans.
    bool buffersWholeImage() const;
    // The bytes that buffer takes (a 64-coefficient block of 16-bit values
    // per 8×8 block of each component, rounded up to whole sampling units).
    qint64 coefficientBytes() const;
    // The most that buffer can take for a frame of size: four components,
    // none subsampled.
    static qint64 largestCoefficientBytes(QSize size);

private:
    int _width = 0;
    int _height = 0;
    bool _progressive = false;
    int _componentsInFirstScan = 0;
    std::vector<Component> _components;
};
