#pragma once

#include <QString>

#include <functional>

// Runs a check in a forked child of the test process, for conditions the test
// process must not take on itself: a user without root's powers (permission
// bits mean nothing to root) or a limit on the size of files it writes.
namespace ChildProcess {

struct Options {
    // Run as the unprivileged user "nobody" (uid 65534) when the tests run as root.
    bool unprivileged = false;
    // When not negative, files cannot grow past this many bytes, as on a full disk.
    long long fileSizeLimit = -1;
    // The child is killed after this long, which fails the check.
    int timeoutSeconds = 30;
};

// The child's exit code (check's answer), or -1 when it crashed or was killed.
int run(const std::function<int()>& check, const Options& options);

// Hands the tree at root to the user an unprivileged child runs as, so that
// it may enter and change it; does nothing unless the tests run as root.
void giveToUnprivileged(const QString& root);

} // namespace ChildProcess
