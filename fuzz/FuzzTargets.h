#pragma once

#include <QByteArrayView>

// The readers of files that other programs write, each driven by one input:
// shared by the libFuzzer programs and by the test that replays the inputs
// they once crashed on. Each function must return normally for any input.
namespace FuzzTargets {

// The property-list reader, whole and streaming.
void plist(QByteArrayView bytes);
// The photo and music library folders loading the bytes as their catalogue
// (property lists and the XML music library); the bytes also as the tags
// KDE's file index keeps for a file (a JSON object).
void catalogue(QByteArrayView bytes);
// The library folders backed by SQLite databases (photo, picture and music
// collections) reading the bytes as their database.
void database(QByteArrayView bytes);
// Movie metadata, the short-form tag values and the MP3 tag reader.
void metadata(QByteArrayView bytes);
// The poster picture of a movie file.
void poster(QByteArrayView bytes);
// The picture size and the thumbnail decode of the grid; the same bytes read
// as a JPEG's embedded previews (EXIF thumbnail, Multi-Picture images), as
// an entry of the shared thumbnail cache and as a Lightroom preview file.
void thumbnail(QByteArrayView bytes);
// The same for a HEIF or AVIF picture (the file is named .heic) and a camera
// RAW file (named .dng; LibRaw reads every RAW format whatever the name).
void heif(QByteArrayView bytes);
void raw(QByteArrayView bytes);
// The network helper's reader of a media server's DIDL-Lite answer (a
// server on 127.0.0.1).
void didl(QByteArrayView bytes);

// The target of that name, or null.
using Function = void (*)(QByteArrayView);
Function byName(const char* name);

} // namespace FuzzTargets
