#pragma once

#include <QString>

// Small media files for tests, made with ffmpeg and ImageMagick the first time
// a test asks for them and kept in the build directory for later runs. Each
// is a second or two long and a few kilobytes.
namespace MediaFixtures {

enum class Fixture {
    TaggedMp3,    // 2 s tone, ID3v2 title "Morning Song", artist "Zoë Keating"
    UntaggedMp3,  // 1 s tone without any ID3 tag
    TaggedM4a,    // AAC, title "Evening Song", artist "The Band"
    TaggedFlac,   // 1 s, Vorbis comments title "Night Swim", artist "Tide Pool", album "Low Water"
    TaggedMov,    // 64x48 video with sound, 1 s, title "Holiday Clip", artist "Director"
    VideoOnlyMp4, // 160x120 H.264, 1 s, no sound, no metadata
    RotatedMp4,   // 160x120 H.264 shown turned a quarter (120x160)
    CoverM4a,     // AAC with a 40x30 red PNG cover picture, no video
    Png,          // 32x24
    Jpeg,         // 32x24
    Gif,          // 32x24
    RotatedJpeg,  // 40x20 pixels stored, EXIF orientation 6 (shown 20x40)
};

// The fixture's path (made now if need be); fails the calling test when the
// tools could not make it.
QString path(Fixture fixture);

// Copies the fixture to destination (making its directory); answers destination.
QString copy(Fixture fixture, const QString& destination);

} // namespace MediaFixtures
