#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "conversion/fare_line_record.h"
#include "platform/os/run_error.h"

namespace conversion {

// Writes records back as a fare table text: code page 932 bytes, one line per record,
// "name,zone" followed by ",fare" for Fares(1) up to the last non-zero fare, each line ended
// by CR LF. Converting that text gives exactly the data file the writer makes of `records`.
//
// Where no such text exists it throws platform::RunError instead of writing a table that
// would convert differently; line() names the record (from 1):
//   5 no records at all; or a name that would not read back the same: one holding a
//     separator ("," "，" tab), a double quote, CR or LF, one starting with a space
//     (half-width or ideographic), one code page 932 cannot hold, or a table whose bytes
//     could be taken for UTF-8 when converted
//   9 more than 301 records (line() is 302)
std::string FareTableText(std::span<const FareLineRecord> records);

// What every table written back from records checks, a text or a workbook: there are records
// (else 5) and no more than 301 (else 9, line() 302); and why a name would not read back the
// same from any table (one starting with a space, which reading removes), if it would not.
void CheckTableSize(std::span<const FareLineRecord> records);
std::optional<std::string> WhyNameWouldChangeInAnyTable(std::u32string_view name);

}  // namespace conversion
