#pragma once

#include <signal.h>

namespace platform {

// Holds back Ctrl-C, SIGTERM and SIGHUP in this thread while alive, so that a temporary
// file is never on disk without its guard: one that comes meanwhile is handled at the end.
class CleanedSignalsHeld {
  public:
    CleanedSignalsHeld();
    ~CleanedSignalsHeld();
    CleanedSignalsHeld(const CleanedSignalsHeld&) = delete;
    CleanedSignalsHeld& operator=(const CleanedSignalsHeld&) = delete;

  private:
    sigset_t previous_;
};

// While alive, a Ctrl-C, SIGTERM or SIGHUP removes the named temporary file `name` in the
// folder open as `folder` before the signal ends the program as it would have. One at a
// time: the program writes one output file at once.
class TemporaryNameGuard {
  public:
    TemporaryNameGuard(int folder, const char* name);
    ~TemporaryNameGuard();
    TemporaryNameGuard(const TemporaryNameGuard&) = delete;
    TemporaryNameGuard& operator=(const TemporaryNameGuard&) = delete;
};

}  // namespace platform
