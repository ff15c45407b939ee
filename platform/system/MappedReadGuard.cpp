#include "platform/system/MappedReadGuard.h"

#include <csetjmp>
#include <csignal>
#include <mutex>

namespace MappedReadGuard {

namespace {

// Where the guarded read on this thread resumes after a fault; null outside one.
thread_local sigjmp_buf* resumeAfterFault [[gnu::tls_model("initial-exec")]] = nullptr;

struct sigaction previousBusAction;
struct sigaction previousSegvAction;

void onFault(int signal, siginfo_t* info, void* context) {
    if (sigjmp_buf* resume = resumeAfterFault) {
        resumeAfterFault = nullptr;
        siglongjmp(*resume, 1);
    }
    const struct sigaction& previous = signal == SIGBUS ? previousBusAction : previousSegvAction;
    if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
    } else {
        // The fault happens again on return, and ends the process as it would have.
        sigaction(signal, &previous, nullptr);
    }
}

void installHandlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_sigaction = onFault;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previousBusAction);
        sigaction(SIGSEGV, &action, &previousSegvAction);
    });
}

} // namespace

bool run(void (*read)(void* context), void* context) {
    installHandlers();
    sigjmp_buf resume;
    // The signal mask is saved and restored with the jump: the handler's
    // blocking of the signal ends with it.
    if (sigsetjmp(resume, 1) != 0) {
        return false;
    }
    resumeAfterFault = &resume;
    read(context);
    resumeAfterFault = nullptr;
    return true;
}

} // namespace MappedReadGuard
