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

} // namespace LibraryGenerator
