#pragma once

#include <string>

namespace hy3conv {

inline constexpr int kExitSucceeded = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNothingToConvert = 3;
inline constexpr int kExitWithheld = 4;

// How one file went. Its messages are already on standard error; `summary` is the short
// sentence for the file's line on standard output.
struct FileResult {
    enum class Kind { kWritten, kFailed, kNothingToConvert, kWithheld };
    Kind kind = Kind::kFailed;
    std::string summary;
};

int ExitStatusOf(FileResult::Kind kind);

}  // namespace hy3conv
