#pragma once

namespace platform {

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
