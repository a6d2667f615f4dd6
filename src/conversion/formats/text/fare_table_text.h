#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "conversion/fare_model_names.h"

namespace conversion {

// Writes records back as a fare table text: code page 932 bytes, one line per record,
// "name,zone" followed by ",fare" for Fares(1) up to the last non-zero fare, each line ended
// by CR LF. Converting that text gives exactly the data file the writer makes of `records`.
//
// Where no such text exists it throws fare_model::RunError instead of writing a table that
// would convert differently; line() names the record (from 1):
//   5 no records at all; or a name that would not read back the same: one holding a
//     separator ("," "，" tab), a double quote, CR or LF, one starting with a space
//     (half-width or ideographic), one code page 932 cannot hold, or a table whose bytes
//     could be taken for UTF-8 when converted
//   9 more than 301 records (line() is 302)
std::string FareTableText(std::span<const FareLineRecord> records);

}  // namespace conversion
