#pragma once

#include <string>

#include "programs/hy3conv/file_result.h"

namespace hy3conv {

// A .hy3 file holds at most 32767 records of up to 304 + 65535 bytes each, far more than any
// real table; reading stops at this size instead of taking the memory a hostile file asks for.
inline constexpr size_t kMaxDataFileBytes = 64u << 20;

// The bytes of the regular file at `path`. Throws platform::RunError: 75 for a folder, pipe
// or device, 6 beyond kMaxDataFileBytes, and the usual codes for a file that cannot be read.
std::string ReadDataFileBytes(const std::string& path);

// Writes the .hy3 file at `inputPath` back as fare table text at `outputPath` (atomically;
// a failure leaves the output as it was).
FileResult WriteBackAsText(const std::string& inputPath, const std::string& outputPath);

// Prints the records of the .hy3 file at `path` to standard output; the exit status.
int ShowDataFile(const std::string& path);

}  // namespace hy3conv
