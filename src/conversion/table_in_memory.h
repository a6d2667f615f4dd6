#pragma once

#include <functional>
#include <string>

#include "conversion/conversion_run.h"
#include "conversion/outcome.h"
#include "platform/os/file_system.h"

namespace conversion {

// Whether the path names a fare display data file, by its extension in any case.
bool IsDataFilePathName(const std::string& path);

// The table at `path` as records in memory, nothing written: a .hy3 (told by its extension)
// is read back as ReadBackDataFile reads it, any other file is converted as ConvertFareTable
// converts it (with its notices, sheet and first line). kSucceeded with `records`, or
// kFailed about the file with its numbered error; never throws.
ConversionOutcome ReadTableInMemory(platform::FileSystem& files, const std::string& path,
                                    ConversionOptions options = {}) noexcept;
ConversionOutcome ReadTableInMemory(const std::string& path,
                                    ConversionOptions options = {}) noexcept;

// Writes the bytes `make` gives (it may throw RunError) at `outputPath` in place of whatever
// is there, once they are whole, as a .hy3 is written: never over the file at `inputPath`,
// the table they were made from. kSucceeded, or kFailed about the output, which is then as
// it was. Never throws.
ConversionOutcome WriteMadeFile(platform::FileSystem& files, const std::string& inputPath,
                                const std::string& outputPath,
                                const std::function<std::string()>& make) noexcept;
ConversionOutcome WriteMadeFile(const std::string& inputPath, const std::string& outputPath,
                                const std::function<std::string()>& make) noexcept;

}  // namespace conversion
