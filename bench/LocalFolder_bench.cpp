// Listing a directory of 10,000 files and 200 sub-directories into a loaded
// LocalFolder (items made, no metadata read), against plain readdir loops over
// the same directory. And a folder of 100,000 pictures listed in name order,
// beside the name sort alone on the same entries: the listing in the file
// system's order costs the difference.

#include "BenchData.h"
#include "platform/system/FileSystem.h"
#include "platform/system/NameOrder.h"
#include "platform/system/Path.h"
#include "sources/local/LocalFolder.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

constexpr int kFiles = 10000;
constexpr int kDirectories = 200;

QString musicDirectory() {
    return BenchData::flatDirectory(QStringLiteral("listing-mp3"), kFiles, kDirectories,
                                    QStringLiteral("Track %1.mp3"));
}

QString pictureDirectory() {
    return BenchData::flatDirectory(QStringLiteral("listing-jpg"), kFiles, kDirectories,
                                    QStringLiteral("IMG_%1.jpg"));
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The baseline: every entry's own type by lstat.
QByteArray nativeDirectory(const benchmark::State& state) {
    return Path::toNative(state.range(0) == LocalFolder::Music ? musicDirectory() : pictureDirectory());
}

void ReaddirLstatLoop(benchmark::State& state) {
    const QByteArray directory = nativeDirectory(state);
    for (auto _ : state) {
        DIR* dir = opendir(directory.constData());
        char path[4096];
        std::memcpy(path, directory.constData(), directory.size());
        const size_t prefix = directory.size() + 1;
        path[prefix - 1] = '/';
        int regular = 0;
        while (const dirent* entry = readdir(dir)) {
            if (isDotOrDotDot(entry->d_name)) {
                continue;
            }
            std::strncpy(path + prefix, entry->d_name, sizeof(path) - prefix - 1);
            path[sizeof(path) - 1] = '\0';
            struct stat info {};
            if (lstat(path, &info) == 0 && S_ISREG(info.st_mode)) {
                ++regular;
            }
        }
        closedir(dir);
        benchmark::DoNotOptimize(regular);
    }
}
// Argument: the directory of the folder benchmark with that type (1 music, 0 pictures).
BENCHMARK(ReaddirLstatLoop)
    ->ArgName("type")
    ->Arg(LocalFolder::Music)
    ->Arg(LocalFolder::Pictures)
    ->Unit(benchmark::kMillisecond);

void ReaddirOnlyLoop(benchmark::State& state) {
    const QByteArray directory = nativeDirectory(state);
    for (auto _ : state) {
        DIR* dir = opendir(directory.constData());
        int regular = 0;
        while (const dirent* entry = readdir(dir)) {
            regular += entry->d_type == DT_REG;
        }
        closedir(dir);
        benchmark::DoNotOptimize(regular);
    }
}
BENCHMARK(ReaddirOnlyLoop)
    ->ArgName("type")
    ->Arg(LocalFolder::Music)
    ->Arg(LocalFolder::Pictures)
    ->Unit(benchmark::kMillisecond);

void loadFolder(benchmark::State& state, const QString& directory, int type) {
    std::size_t items = 0;
    for (auto _ : state) {
        LocalFolderPtr folder = LocalFolder::create(directory, type);
        items = folder->files().size() + folder->folders().size();
        benchmark::DoNotOptimize(items);
        state.PauseTiming();
        folder.reset();
        state.ResumeTiming();
    }
    if (items != kFiles + kDirectories) {
        state.SkipWithError("wrong number of items");
    }
}

void LocalFolderMusic(benchmark::State& state) {
    loadFolder(state, musicDirectory(), LocalFolder::Music);
}
BENCHMARK(LocalFolderMusic)->Unit(benchmark::kMillisecond);

void LocalFolderPictures(benchmark::State& state) {
    loadFolder(state, pictureDirectory(), LocalFolder::Pictures);
}
BENCHMARK(LocalFolderPictures)->Unit(benchmark::kMillisecond);

constexpr int kManyFiles = 100000;

// CPU time of the whole process (the folder is read on a worker), in
// milliseconds: on a busy machine the wall time mostly measures the others.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

QString manyPictures() {
    return BenchData::flatDirectory(QStringLiteral("listing-100k-jpg"), kManyFiles, 0,
                                    QStringLiteral("IMG_%1.jpg"));
}

void LocalFolder100kPictures(benchmark::State& state) {
    const QString directory = manyPictures();
    std::size_t items = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        const double before = processCpuMs();
        LocalFolderPtr folder = LocalFolder::create(directory, LocalFolder::Pictures);
        items = folder->files().size();
        cpuMs += processCpuMs() - before;
        state.PauseTiming();
        folder.reset();
        state.ResumeTiming();
    }
    if (items != kManyFiles) {
        state.SkipWithError("wrong number of items");
    }
    state.counters["process_cpu_ms"] = cpuMs / static_cast<double>(state.iterations());
}
BENCHMARK(LocalFolder100kPictures)->Unit(benchmark::kMillisecond);

// The name sort of that listing alone, on the entries as the directory gives them.
void NameOrder100k(benchmark::State& state) {
    std::vector<FileSystem::DirectoryEntryPath> listed;
    FileSystem::forEachEntryPath(
        manyPictures(),
        [&](const FileSystem::DirectoryEntryPath& entry) {
            if (!entry.name().startsWith(QLatin1Char('.'))) {
                listed.push_back(entry);
            }
            return true;
        },
        true);
    if (listed.size() != kManyFiles) {
        state.SkipWithError("wrong number of entries");
        return;
    }
    const double before = processCpuMs();
    for (auto _ : state) {
        std::vector<FileSystem::DirectoryEntryPath> entries = listed;
        NameOrder().sort(entries, [](const FileSystem::DirectoryEntryPath& entry) { return entry.name(); });
        benchmark::DoNotOptimize(entries.data());
    }
    state.counters["process_cpu_ms"] = (processCpuMs() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(NameOrder100k)->Unit(benchmark::kMillisecond);

} // namespace
