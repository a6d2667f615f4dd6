#include "platform/os/posix/temporary_name_guard.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>

namespace platform {
namespace {

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only what a signal handler may touch: fixed storage, set before the handlers go in.
int guardedFolder = -1;
char guardedName[256];
struct sigaction previous[std::size(kCleanedSignals)];

void RemoveAndReraise(int signal) {
    int savedErrno = errno;
    unlinkat(guardedFolder, guardedName, 0);
    for (size_t i = 0; i < std::size(kCleanedSignals); ++i) {
        if (kCleanedSignals[i] == signal) {
            sigaction(signal, &previous[i], nullptr);
        }
    }
    errno = savedErrno;
    // Blocked until this handler returns, then handled as before the guard.
    raise(signal);
}

}  // namespace

CleanedSignalsHeld::CleanedSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : kCleanedSignals) {
        sigaddset(&held, signal);
    }
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

CleanedSignalsHeld::~CleanedSignalsHeld() {
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

TemporaryNameGuard::TemporaryNameGuard(int folder, const char* name) {
    guardedFolder = folder;
    std::strncpy(guardedName, name, sizeof guardedName - 1);
    struct sigaction action {};
    action.sa_handler = RemoveAndReraise;
    sigfillset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kCleanedSignals); ++i) {
        sigaction(kCleanedSignals[i], &action, &previous[i]);
        // A signal the program was told to ignore (nohup) stays ignored.
        if (previous[i].sa_handler == SIG_IGN) {
            sigaction(kCleanedSignals[i], &previous[i], nullptr);
        }
    }
}

TemporaryNameGuard::~TemporaryNameGuard() {
    for (size_t i = 0; i < std::size(kCleanedSignals); ++i) {
        sigaction(kCleanedSignals[i], &previous[i], nullptr);
    }
}

}  // namespace platform
