#pragma once

#include <QString>

// What the ID3 tag of an MP3 file says.
struct Id3Tags {
    QString title;  // null when the file has no tag or the tag no title
    QString artist; // null when the file has no tag or the tag no artist
    // Whole seconds; all bits set when the file's audio could not be read.
    quint32 duration = 0xFFFFFFFF;
};

namespace Id3Reader {

// Reads the tags (ID3v2, else ID3v1 or APE) and the duration of the MP3 file
// at path. A file that is not a regular file is not opened and gives no
// values, like a file that cannot be read.
Id3Tags read(const QString& path);

} // namespace Id3Reader
