#pragma once

#include <string>

namespace hy3conv {

// Exit statuses of --compare, as cmp and diff have them.
inline constexpr int kExitSame = 0;
inline constexpr int kExitDifferent = 1;
inline constexpr int kExitTrouble = 2;

// Lists on standard output every difference between the records of the .hy3 files at
// `oldPath` and `newPath`, one per line ("hy3conv: FILE:ROW:FIELD: text"; a removed row names
// the old file), then the count. Quiet: the exit status alone.
int CompareDataFiles(const std::string& oldPath, const std::string& newPath, bool quiet);

}  // namespace hy3conv
