#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "conversion/fare_line_record.h"
#include "platform/os/output_file.h"

namespace conversion {

// Opens the data file for writing. The new content replaces the file at `path` only when
// the caller commits it; until then the old file stays as it was.
platform::AtomicOutputFile CreateFareDataFile(const std::string& path);

// Writes the 16-bit record count and then every record: a 16-bit name length, the name in
// code page 932, the zone and 150 fares, all little-endian. Record k is line k of the input,
// which failures name: code 5 for a name code page 932 cannot hold, code 6 for a name over
// 65535 bytes.
void WriteFareDataFile(platform::AtomicOutputFile& file, int16_t count,
                       std::span<const FareLineRecord> records);

}  // namespace conversion
