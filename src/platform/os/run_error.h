#pragma once

#include <string>

#include "fare_model/run_error.h"

// The operating system's failures are reported in the application's own vocabulary of
// numbered codes.
namespace platform {

using fare_model::FileCause;
using fare_model::RunError;
namespace error_code = fare_model::error_code;

// The standard Japanese description for a code (UTF-8); an empty string for unknown codes.
// The one table of texts the platform holds: each code's own words, as users look them up.
std::string DescriptionForCode(int code);

}  // namespace platform
