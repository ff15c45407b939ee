#include "support/MediaFixtures.h"

#include "platform/system/Path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace MediaFixtures {

namespace {

struct Recipe {
    const char* fileName;
    const char* program;   // "ffmpeg" or "convert"
    QStringList arguments; // the output path is appended
    // A fixture read as the first input, for files made from another.
    std::optional<Fixture> input = std::nullopt;
};

QStringList args(std::initializer_list<const char*> arguments) {
    QStringList list;
    for (const char* argument : arguments) {
        list.append(QString::fromUtf8(argument));
    }
    return list;
}

QStringList tone(double seconds) {
    return args({"-f", "lavfi", "-i"}) +
           QStringList{QStringLiteral("sine=frequency=440:sample_rate=22050:duration=%1").arg(seconds)};
}

QStringList video(const char* size) {
    return args({"-f", "lavfi", "-i"}) +
           QStringList{QStringLiteral("testsrc=size=%1:rate=10:duration=1").arg(QLatin1String(size))};
}

Recipe recipe(Fixture fixture) {
    const QStringList h264 = args({"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});
    const QStringList aac = args({"-c:a", "aac", "-b:a", "32k"});
    const QStringList mp3 = args({"-c:a", "libmp3lame", "-b:a", "32k"});
    switch (fixture) {
    case Fixture::TaggedMp3:
        return {"tagged.mp3", "ffmpeg",
                tone(2) + mp3 +
                    args({"-id3v2_version", "3", "-metadata", "title=Morning Song", "-metadata",
                          "artist=Zoë Keating"})};
    case Fixture::UntaggedMp3:
        return {"untagged.mp3", "ffmpeg",
                tone(1) + mp3 + args({"-map_metadata", "-1", "-write_id3v2", "0", "-fflags", "+bitexact"})};
    case Fixture::TaggedM4a:
        return {"tagged.m4a", "ffmpeg",
                tone(1) + aac + args({"-metadata", "title=Evening Song", "-metadata", "artist=The Band"})};
    case Fixture::TaggedFlac:
        return {"tagged.flac", "ffmpeg",
                tone(1) + args({"-c:a", "flac", "-metadata", "title=Night Swim", "-metadata",
                                "artist=Tide Pool", "-metadata", "album=Low Water"})};
    case Fixture::TaggedMov:
        return {"tagged.mov", "ffmpeg",
                video("64x48") + tone(1) + h264 + aac +
                    args({"-shortest", "-metadata", "title=Holiday Clip", "-metadata", "artist=Director"})};
    case Fixture::VideoOnlyMp4:
        return {"video-only.mp4", "ffmpeg", video("160x120") + h264};
    case Fixture::RotatedMp4:
        // Only a copy takes the rotation into the container's display matrix.
        return {"rotated.mp4", "ffmpeg", args({"-c", "copy", "-metadata:s:v:0", "rotate=90"}),
                Fixture::VideoOnlyMp4};
    case Fixture::CoverM4a:
        return {"cover.m4a", "ffmpeg",
                tone(1) +
                    args({"-f", "lavfi", "-i", "color=c=red:size=40x30:duration=0.1", "-map", "0:a", "-map",
                          "1:v", "-frames:v", "1", "-c:v", "png", "-disposition:v:0", "attached_pic"}) +
                    aac};
    case Fixture::Png:
        return {"picture.png", "convert", args({"-size", "32x24", "gradient:blue-yellow"})};
    case Fixture::Jpeg:
        return {"picture.jpg", "convert", args({"-size", "32x24", "gradient:red-white"})};
    case Fixture::Gif:
        return {"picture.gif", "convert", args({"-size", "32x24", "xc:green"})};
    case Fixture::RotatedJpeg:
        return {"rotated.jpg", "convert",
                args({"-size", "40x20", "gradient:black-white", "-orient", "RightTop"})};
    }
    return {};
}

QString fixtureDirectory() {
    return QStringLiteral(QVMB_FIXTURE_DIR);
}

} // namespace

QString path(Fixture fixture) {
    const Recipe how = recipe(fixture);
    const QString target = fixtureDirectory() + QLatin1Char('/') + QString::fromLatin1(how.fileName);
    if (QFileInfo::exists(target)) {
        return target;
    }
    QDir().mkpath(fixtureDirectory());
    // Test cases run as parallel processes: each makes its own copy and moves
    // it into place in one step.
    const QString temporary = fixtureDirectory() +
                              QStringLiteral("/tmp-%1-").arg(QCoreApplication::applicationPid()) +
                              QString::fromLatin1(how.fileName);
    QStringList arguments = how.arguments;
    if (how.input) {
        arguments = QStringList{QStringLiteral("-i"), path(*how.input)} + arguments;
    }
    if (QLatin1String(how.program) == QLatin1String("ffmpeg")) {
        arguments.prepend(QStringLiteral("error"));
        arguments.prepend(QStringLiteral("-loglevel"));
        arguments.prepend(QStringLiteral("-y"));
        arguments.prepend(QStringLiteral("-nostdin"));
    }
    arguments.append(temporary);
    QProcess process;
    process.start(QString::fromLatin1(how.program), arguments);
    const bool made = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                      process.exitCode() == 0 && QFile::rename(temporary, target);
    QFile::remove(temporary);
    EXPECT_TRUE(made || QFileInfo::exists(target)) << how.program << " could not make " << how.fileName
                                                   << ": " << process.readAllStandardError().toStdString();
    return target;
}

QString copy(Fixture fixture, const QString& destination) {
    // Through the file names' own bytes: destination may not be valid UTF-8.
    const std::filesystem::path target(Path::toNative(destination).toStdString());
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    std::filesystem::copy_file(Path::toNative(path(fixture)).toStdString(), target,
                               std::filesystem::copy_options::overwrite_existing, error);
    EXPECT_FALSE(error) << error.message();
    return destination;
}

} // namespace MediaFixtures
