#include "CameraJpegs.h"

#include "support/CameraFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

namespace {

void run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     process.readAllStandardError().constData());
        std::exit(1);
    }
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString cameraJpegs(int count) {
    const QString directory = QStringLiteral("/tmp/qvmb-bench/camera-24mp-%1").arg(count);
    const QString marker = directory + QStringLiteral("/.complete");
    if (QFile::exists(marker)) {
        return directory;
    }
    QDir(directory).removeRecursively();
    const QString work = directory + QStringLiteral("/.work");
    QDir().mkpath(work);
    // The picture, its preview and its thumbnail from the same frame. The
    // frame count is an option of each output: given once, it ends the first
    // output alone and the other two run on for as long as the source does.
    const QString frames = QString::number(count);
    run(QStringLiteral("ffmpeg"),
        {QStringLiteral("-loglevel"),
         QStringLiteral("error"),
         QStringLiteral("-f"),
         QStringLiteral("lavfi"),
         QStringLiteral("-i"),
         QStringLiteral("testsrc2=size=6000x4000:rate=1,noise=alls=10:allf=t"),
         QStringLiteral("-filter_complex"),
         QStringLiteral("[0]split=3[a][b][c];[b]scale=1920:1280[p];[c]scale=160:107[t]"),
         QStringLiteral("-map"),
         QStringLiteral("[a]"),
         QStringLiteral("-frames:v"),
         frames,
         QStringLiteral("-q:v"),
         QStringLiteral("3"),
         directory + QStringLiteral("/DSC%04d.jpg"),
         QStringLiteral("-map"),
         QStringLiteral("[p]"),
         QStringLiteral("-frames:v"),
         frames,
         QStringLiteral("-q:v"),
         QStringLiteral("4"),
         work + QStringLiteral("/DSC%04d-preview.jpg"),
         QStringLiteral("-map"),
         QStringLiteral("[t]"),
         QStringLiteral("-frames:v"),
         frames,
         QStringLiteral("-q:v"),
         QStringLiteral("5"),
         work + QStringLiteral("/DSC%04d.jpg")});
    run(QStringLiteral("exiftool"), {QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                                     QStringLiteral("-Make=QVMB"), QStringLiteral("-Model=Bench Camera"),
                                     QStringLiteral("-ThumbnailImage<=") + work + QStringLiteral("/%f.jpg"),
                                     QStringLiteral("-ext"), QStringLiteral("jpg"), directory});
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("DSC%1").arg(i, 4, 10, QLatin1Char('0'));
        const QString path = directory + QLatin1Char('/') + name + QStringLiteral(".jpg");
        const QByteArray bytes = CameraFixtures::withMultiPicture(
            readAll(path), readAll(work + QLatin1Char('/') + name + QStringLiteral("-preview.jpg")));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::exit(1);
        }
    }
    QDir(work).removeRecursively();
    QFile(marker).open(QIODevice::WriteOnly);
    return directory;
}
