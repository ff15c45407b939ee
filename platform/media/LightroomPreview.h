#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

// A preview file of a Lightroom Classic catalogue (".lrprev", kept under the
// catalogue's "<name> Previews.lrdata" folder): the same picture as JPEG
// files of growing sizes, already cropped and turned as Lightroom shows it.
//
// The layout, as public write-ups of Lightroom's preview files describe it:
// a sequence of sections, each a header followed by its data and padding. A
// section header starts with the bytes "AgHg", then the header's length (16
// bits, big-endian, 32 in the files known), two bytes of version and kind,
// the data's length and the padding's length (64 bits each, big-endian), and
// the section's name (NUL-terminated, to the end of the header). The first
// section, "header", is a text table giving the levels' sizes:
//     pyramid = { …, levels = { { height = 60, width = 90, }, { … }, … }, … }
// and the sections "level_1", "level_2"… that follow hold the levels' JPEGs,
// smallest first. May run on any thread.
namespace LightroomPreview {

struct Level {
    QSize size;
    qint64 offset = 0; // of the JPEG's first byte in the file
    qint64 length = 0;
};

// Whether the file at path is named as a preview file.
bool isPreviewFile(const QString& path);

// The levels the file on device holds, smallest first, each with the size the
// file states for it; none when the device holds no preview file, a section
// runs past its end, or the header names no level sizes that match the levels.
std::optional<std::vector<Level>> levels(QIODevice& device);

// The level to draw in a box of bound pixels: the smallest whose picture,
// fitted into bound, is not enlarged; else the largest.
const Level& levelFor(const std::vector<Level>& levels, QSize bound);

// The level's JPEG read from device; empty when it cannot be read.
QByteArray jpeg(QIODevice& device, const Level& level);

// Levels larger than this are not read.
constexpr qint64 kLargestLevel = 64 * 1024 * 1024;

} // namespace LightroomPreview
