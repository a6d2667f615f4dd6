#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "conversion/outcome.h"
#include "platform/os/file_system.h"

namespace conversion {

// A .hy3 file holds at most 32767 records of up to 304 + 65535 bytes each, far more than any
// real table; reading stops at this size instead of taking the memory a hostile file asks for.
inline constexpr size_t kMaxDataFileBytes = 64u << 20;

// Reads the .hy3 file at `path` back into its records: kSucceeded with `records` (and
// rowsWritten 0), or kFailed about the file: 75 for a folder, pipe or device, 6 beyond
// kMaxDataFileBytes, the layout errors of ReadFareDataFile, and the usual file codes.
ConversionOutcome ReadBackDataFile(platform::FileSystem& files, const std::string& path) noexcept;

// Writes the .hy3 file at `inputPath` back as fare table text at `outputPath`, atomically:
// kSucceeded with rowsWritten the lines written, or kFailed about the file to blame (the
// output where it is the input, or cannot be written), the output then as it was.
ConversionOutcome WriteBackAsText(const std::string& inputPath, const std::string& outputPath,
                                  platform::OutputFileSeams seams = {}) noexcept;

// The same in another form of table: `form` makes the file's bytes of the records, throwing
// fare_model::RunError (with the record's number as line) where it cannot.
using TableForm = std::function<std::string(std::span<const FareLineRecord>)>;
ConversionOutcome WriteBackAs(platform::FileSystem& files, const std::string& inputPath,
                              const std::string& outputPath, const TableForm& form,
                              platform::OutputFileSeams seams = {}) noexcept;

// The use cases above on the computer's own file system, for front ends.
ConversionOutcome ReadBackDataFile(const std::string& path) noexcept;
ConversionOutcome WriteBackAs(const std::string& inputPath, const std::string& outputPath,
                              const TableForm& form, platform::OutputFileSeams seams = {}) noexcept;

// What the records about to be written change against the .hy3 file now at `path`; none
// where there is no such file or it cannot be read as one of at most 301 records (then there
// is nothing to compare with). Never throws.
std::optional<RecordDifferences> CompareWithExistingFile(
    platform::FileSystem& files, const std::string& path,
    std::span<const FareLineRecord> records) noexcept;

}  // namespace conversion
