#pragma once

#include <string>

#include "platform/os/run_error.h"

namespace platform {

// Turns an errno met on `path` into the RunError the user sees.
RunError ErrorFromErrno(int errnum, const std::string& path);

}  // namespace platform
