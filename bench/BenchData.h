#pragma once

#include <QString>
#include <QStringList>

// Data sets for the benchmarks, made under /tmp/qvmb-bench the first time they
// are asked for and reused afterwards (a marker file says a set is complete).
namespace BenchData {

// A directory of `files` empty files named like fileNamePattern ("%1.mp3",
// numbered from 0) and `directories` empty sub-directories.
QString flatDirectory(const QString& name, int files, int directories, const QString& fileNamePattern);

// A directory of `count` copies of a tagged one-second MP3; answers their paths.
QStringList mp3Files(int count);

// `count` different two-second 1280x720 H.264 movies; answers their paths.
QStringList hdMovies(int count);

// A directory of `count` different 12-megapixel JPEGs; answers its path.
QString cameraPictures(int count);

// A directory of `count` small real JPEGs (160 x 120, a few KB each, in 16
// different colourings), for folders of hundreds of thousands of pictures
// whose thumbnails are really decoded; answers its path.
QString smallPictures(int count);

} // namespace BenchData
