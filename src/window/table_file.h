#pragma once

#include <optional>
#include <string>
#include <vector>

#include "conversion/fare_line_record.h"
#include "platform/os/run_error.h"

namespace main_window {

// A .hy3 file as the table window shows it: its records, or why it cannot be read.
struct TableFile {
    std::vector<conversion::FareLineRecord> records;
    std::optional<platform::RunError> error;
    long long byteCount = 0;
};

// Reads the .hy3 file at `path` (as the file system spells it). Never throws: a damaged or
// unreadable file comes back with its numbered error.
TableFile LoadTableFile(const std::string& path) noexcept;

// Writes `records` at `target` as the fare table text that converts back to the same .hy3;
// `source` is the .hy3 they came from, which is never written over. Never throws; the
// failure, if any. A failure leaves `target` as it was.
std::optional<platform::RunError> SaveTableAsText(
    const std::vector<conversion::FareLineRecord>& records, const std::string& source,
    const std::string& target) noexcept;

}  // namespace main_window
