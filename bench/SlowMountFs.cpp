// qvmb-slow-mount: a read-only FUSE pass-through that answers like a far
// network disk, for the grid's slow-mount benchmarks.
//
// Usage: qvmb-slow-mount [--delay-ms N] [--on open,opendir,readdir,getattr]
//                        SOURCE MOUNTPOINT [fuse options]
//
// Every request of the listed kinds (by default open only) waits N ms (20 by
// default) before it is served from SOURCE. Requests are served on several
// threads, so waits overlap as round trips to a server do. A listing carries
// each entry's attributes, as network file systems' listings do, so listing
// a folder costs its directory reads, not a request per file. Runs in the
// foreground until unmounted (fusermount3 -u MOUNTPOINT) or killed.

#define FUSE_USE_VERSION 35

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string source;
    int delayMs = 20;
    bool open = true;
    bool opendir = false;
    bool readdir = false;
    bool getattr = false;
};

Options options;

void wait(bool applies) {
    if (applies && options.delayMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options.delayMs));
    }
}

std::string sourcePath(const char* path) {
    return options.source + path;
}

void* slowInit(fuse_conn_info* /*connection*/, fuse_config* config) {
    config->use_ino = 1;
    config->entry_timeout = 60;
    config->attr_timeout = 60;
    config->negative_timeout = 60;
    return nullptr;
}

int slowGetattr(const char* path, struct stat* st, fuse_file_info* file) {
    wait(options.getattr);
    const int result =
        file != nullptr ? fstat(static_cast<int>(file->fh), st) : lstat(sourcePath(path).c_str(), st);
    return result == 0 ? 0 : -errno;
}

// A network listing returns a few hundred entries a round trip (SMB and NFS
// answer with up to 64 KB); the kernel asks FUSE for a page at a time, so
// the wait is paid once per this many entries, not once per page.
constexpr long kEntriesPerRequest = 500;

struct OpenDirectory {
    DIR* directory = nullptr;
    long served = 0; // entries handed out since the last wait
};

int slowOpendir(const char* path, fuse_file_info* file) {
    wait(options.opendir);
    DIR* directory = ::opendir(sourcePath(path).c_str());
    if (directory == nullptr) {
        return -errno;
    }
    file->fh = reinterpret_cast<uint64_t>(new OpenDirectory{directory, kEntriesPerRequest});
    return 0;
}

// Entries come with their attributes, as a network listing's do, so that the
// kernel asks nothing more about each file. Offsets are the directory's own
// positions, so a listing goes on where the last page ended.
int slowReaddir(const char* /*path*/, void* buffer, fuse_fill_dir_t fill, off_t offset, fuse_file_info* file,
                fuse_readdir_flags /*flags*/) {
    auto* open = reinterpret_cast<OpenDirectory*>(file->fh);
    if (offset == 0) {
        rewinddir(open->directory);
    } else {
        seekdir(open->directory, offset);
    }
    while (dirent* entry = ::readdir(open->directory)) {
        struct stat st {};
        if (fstatat(dirfd(open->directory), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (open->served >= kEntriesPerRequest) {
            wait(options.readdir);
            open->served = 0;
        }
        if (fill(buffer, entry->d_name, &st, telldir(open->directory), FUSE_FILL_DIR_PLUS) != 0) {
            break;
        }
        ++open->served;
    }
    return 0;
}

int slowReleasedir(const char* /*path*/, fuse_file_info* file) {
    auto* open = reinterpret_cast<OpenDirectory*>(file->fh);
    closedir(open->directory);
    delete open;
    return 0;
}

int slowOpen(const char* path, fuse_file_info* file) {
    if ((file->flags & O_ACCMODE) != O_RDONLY) {
        return -EROFS;
    }
    wait(options.open);
    const int fd = ::open(sourcePath(path).c_str(), file->flags);
    if (fd < 0) {
        return -errno;
    }
    file->fh = static_cast<uint64_t>(fd);
    return 0;
}

int slowRead(const char* /*path*/, char* buffer, size_t size, off_t offset, fuse_file_info* file) {
    const ssize_t got = pread(static_cast<int>(file->fh), buffer, size, offset);
    return got < 0 ? -errno : static_cast<int>(got);
}

int slowRelease(const char* /*path*/, fuse_file_info* file) {
    close(static_cast<int>(file->fh));
    return 0;
}

int slowReadlink(const char* path, char* buffer, size_t size) {
    const ssize_t got = readlink(sourcePath(path).c_str(), buffer, size - 1);
    if (got < 0) {
        return -errno;
    }
    buffer[got] = '\0';
    return 0;
}

int slowStatfs(const char* path, struct statvfs* st) {
    return statvfs(sourcePath(path).c_str(), st) == 0 ? 0 : -errno;
}

int usage() {
    std::fprintf(stderr, "usage: qvmb-slow-mount [--delay-ms N] [--on open,opendir,readdir,getattr] "
                         "SOURCE MOUNTPOINT [fuse options]\n");
    return 2;
}

bool parseKinds(const std::string& list) {
    options.open = options.opendir = options.readdir = options.getattr = false;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string kind = list.substr(start, end - start);
        if (kind == "open") {
            options.open = true;
        } else if (kind == "opendir") {
            options.opendir = true;
        } else if (kind == "readdir") {
            options.readdir = true;
        } else if (kind == "getattr") {
            options.getattr = true;
        } else {
            return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int at = 1;
    for (; at + 1 < argc && std::strncmp(argv[at], "--", 2) == 0; at += 2) {
        const std::string name = argv[at];
        if (name == "--delay-ms") {
            options.delayMs = std::atoi(argv[at + 1]);
        } else if (name != "--on" || !parseKinds(argv[at + 1])) {
            return usage();
        }
    }
    if (argc - at < 2) {
        return usage();
    }
    char* real = realpath(argv[at], nullptr);
    if (real == nullptr) {
        std::perror(argv[at]);
        return 1;
    }
    options.source = real;
    std::free(real);

    fuse_operations operations{};
    operations.init = slowInit;
    operations.getattr = slowGetattr;
    operations.opendir = slowOpendir;
    operations.readdir = slowReaddir;
    operations.releasedir = slowReleasedir;
    operations.open = slowOpen;
    operations.read = slowRead;
    operations.release = slowRelease;
    operations.readlink = slowReadlink;
    operations.statfs = slowStatfs;

    // fuse_main: program name, mount point, foreground, read-only, then the
    // caller's own options.
    std::vector<char*> fuseArguments = {argv[0], argv[at + 1], const_cast<char*>("-f"),
                                        const_cast<char*>("-o"),
                                        const_cast<char*>("ro,fsname=qvmb-slow,max_threads=32")};
    for (int i = at + 2; i < argc; ++i) {
        fuseArguments.push_back(argv[i]);
    }
    return fuse_main(static_cast<int>(fuseArguments.size()), fuseArguments.data(), &operations, nullptr);
}
