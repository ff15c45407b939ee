#include "ChildProcess.h"

#include "platform/system/Path.h"

#include <csignal>
#include <ftw.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ChildProcess {

namespace {

constexpr uid_t kNobody = 65534;

} // namespace

int run(const std::function<int()>& check, const Options& options) {
    const pid_t pid = fork();
    if (pid < 0) {
        return -1;
    }
    if (pid == 0) {
        alarm(static_cast<unsigned>(options.timeoutSeconds));
        if (options.unprivileged && geteuid() == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
                _exit(125);
            }
        }
        if (options.fileSizeLimit >= 0) {
            // Writes past the limit fail with EFBIG instead of killing the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                               static_cast<rlim_t>(options.fileSizeLimit)};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                _exit(126);
            }
        }
        _exit(check());
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void giveToUnprivileged(const QString& root) {
    if (geteuid() != 0) {
        return;
    }
    nftw(
        Path::toNative(root).constData(),
        [](const char* path, const struct stat*, int, FTW*) {
            (void)lchown(path, kNobody, kNobody);
            return 0;
        },
        32, FTW_PHYS);
}

} // namespace ChildProcess
