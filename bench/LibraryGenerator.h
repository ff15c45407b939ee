#pragma once

#include <QString>

// Large libraries of the Linux photo and music applications, written in their
// own formats, for the library benchmarks.
namespace LibraryGenerator {

// A Shotwell database (today's tables) of photos spread over events, each
// photo in one tag of tags; every 50th photo trashed.
void writeShotwell(const QString& path, int photos, int events, int tags);
// A Rhythmbox database of songs, with one internet radio entry in every 100.
void writeRhythmbox(const QString& path, int songs);
// A Strawberry collection of songs (one in 20 a video file), with 50
// playlists of 2,000 songs each.
void writeStrawberry(const QString& path, int songs);
// A digiKam collection of images (one in 20 a video) in 5,000 albums of one
// root, each image with one of 500 tags in a two-level tree.
void writeDigikam(const QString& path, const QString& pictures, int images);

} // namespace LibraryGenerator
