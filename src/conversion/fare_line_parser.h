#pragma once

#include <string_view>

#include "conversion/fare_line_record.h"
#include "platform/os/run_error.h"

// The line parser, kept apart from the window as the module "Module1".
namespace conversion {

// Turns one decoded line (line end removed, not trimmed) into a record. Throws
// platform::RunError with code 6 where a number (or a leading part of one) does not fit
// 16 bits, and code 9 where the line has more than 152 fields.
FareLineRecord ParseFareLine(std::u32string_view line);

// The lenient number reader used for zone numbers and fares: spaces anywhere are ignored,
// then the longest leading number is read; no number reads as 0.
double NumericPrefixValue(std::u32string_view text);

}  // namespace conversion
