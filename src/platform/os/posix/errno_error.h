#pragma once

#include <string>

#include "platform/os/run_error.h"

namespace platform {

// Turns an errno met on `path` into the RunError the user sees.
RunError ErrorFromErrno(int errnum, const std::string& path);

// A write beyond the file-size limit (ulimit -f) must fail with EFBIG, which is told as a
// full disk, not end the program by SIGXFSZ. Called before any file is written.
void IgnoreFileSizeSignal();

}  // namespace platform
