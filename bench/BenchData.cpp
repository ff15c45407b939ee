#include "BenchData.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace BenchData {

namespace {

QString root() {
    return QStringLiteral("/tmp/qvmb-bench");
}

bool isComplete(const QString& directory) {
    return QFileInfo::exists(directory + QStringLiteral("/.complete"));
}

void markComplete(const QString& directory) {
    QFile marker(directory + QStringLiteral("/.complete"));
    if (!marker.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(marker.fileName()));
        std::exit(1);
    }
}

void runFfmpeg(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("ffmpeg"),
                  QStringList{QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-loglevel"),
                              QStringLiteral("error")} +
                      arguments);
    if (!process.waitForFinished(300000) || process.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", process.readAllStandardError().constData());
        std::exit(1);
    }
}

// The file names of a complete set, sorted.
QStringList filesIn(const QString& directory, const QString& filter) {
    QStringList paths;
    for (const QString& name : QDir(directory).entryList({filter}, QDir::Files, QDir::Name)) {
        paths.append(directory + QLatin1Char('/') + name);
    }
    return paths;
}

} // namespace

QString flatDirectory(const QString& name, int files, int directories, const QString& fileNamePattern) {
    const QString directory = root() + QLatin1Char('/') + name;
    if (isComplete(directory)) {
        return directory;
    }
    QDir(directory).removeRecursively();
    QDir().mkpath(directory);
    for (int i = 0; i < files; ++i) {
        QFile(directory + QLatin1Char('/') + fileNamePattern.arg(i, 5, 10, QLatin1Char('0')))
            .open(QIODevice::WriteOnly);
    }
    for (int i = 0; i < directories; ++i) {
        QDir().mkdir(directory + QStringLiteral("/Folder %1").arg(i, 3, 10, QLatin1Char('0')));
    }
    markComplete(directory);
    return directory;
}

QStringList mp3Files(int count) {
    const QString directory = root() + QStringLiteral("/mp3-%1").arg(count);
    if (!isComplete(directory)) {
        QDir(directory).removeRecursively();
        QDir().mkpath(directory);
        const QString first = directory + QStringLiteral("/0000.mp3");
        runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                   QStringLiteral("sine=frequency=440:duration=1"), QStringLiteral("-c:a"),
                   QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("128k"),
                   QStringLiteral("-id3v2_version"), QStringLiteral("3"), QStringLiteral("-metadata"),
                   QStringLiteral("title=Benchmark Song"), QStringLiteral("-metadata"),
                   QStringLiteral("artist=Benchmark Artist"), first});
        for (int i = 1; i < count; ++i) {
            QFile::copy(first, directory + QStringLiteral("/%1.mp3").arg(i, 4, 10, QLatin1Char('0')));
        }
        markComplete(directory);
    }
    return filesIn(directory, QStringLiteral("*.mp3"));
}

QStringList hdMovies(int count) {
    const QString directory = root() + QStringLiteral("/movies-%1").arg(count);
    if (!isComplete(directory)) {
        QDir(directory).removeRecursively();
        QDir().mkpath(directory);
        for (int i = 0; i < count; ++i) {
            // Camera-like streams: B-frames, a key frame first, sound alongside.
            runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("testsrc2=size=1280x720:rate=25:duration=2"), QStringLiteral("-f"),
                       QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("sine=duration=2"),
                       QStringLiteral("-vf"), QStringLiteral("hue=h=%1").arg(i * 36), QStringLiteral("-c:v"),
                       QStringLiteral("libx264"), QStringLiteral("-preset"), QStringLiteral("veryfast"),
                       QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), QStringLiteral("-c:a"),
                       QStringLiteral("aac"), directory + QStringLiteral("/movie%1.mp4").arg(i)});
        }
        markComplete(directory);
    }
    return filesIn(directory, QStringLiteral("*.mp4"));
}

QString cameraPictures(int count) {
    const QString directory = root() + QStringLiteral("/pictures-12mp-%1").arg(count);
    if (!isComplete(directory)) {
        QDir(directory).removeRecursively();
        QDir().mkpath(directory);
        // 4000 x 3000 frames with sensor-like noise: about 3 MB each, like a camera's.
        runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                   QStringLiteral("testsrc2=size=4000x3000:rate=1,noise=alls=10:allf=t"),
                   QStringLiteral("-frames:v"), QString::number(count), QStringLiteral("-q:v"),
                   QStringLiteral("3"), directory + QStringLiteral("/photo%03d.jpg")});
        markComplete(directory);
    }
    return directory;
}

QString smallPictures(int count) {
    const QString directory = root() + QStringLiteral("/pictures-small-%1").arg(count);
    if (isComplete(directory)) {
        return directory;
    }
    QDir(directory).removeRecursively();
    QDir().mkpath(directory);
    std::vector<QByteArray> variants;
    for (int v = 0; v < 16; ++v) {
        QImage image(160, 120, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, 160, 120);
        gradient.setColorAt(0, QColor::fromHsv(v * 22, 200, 230));
        gradient.setColorAt(1, QColor::fromHsv((v * 22 + 120) % 360, 160, 90));
        painter.fillRect(image.rect(), gradient);
        painter.setPen(Qt::white);
        painter.drawEllipse(QRect(30 + v * 4, 20, 60, 60));
        painter.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 85);
        variants.push_back(bytes);
    }
    for (int i = 0; i < count; ++i) {
        QFile file(directory + QStringLiteral("/IMG_%1.jpg").arg(i, 6, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(variants[static_cast<std::size_t>(i % 16)]) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
    }
    markComplete(directory);
    return directory;
}

} // namespace BenchData
