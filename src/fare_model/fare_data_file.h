#pragma once

#include <span>
#include <string>

#include "fare_model/fare_line_record.h"
#include "fare_model/unicode.h"

namespace fare_model {

// The data file's bytes for `records`: the 16-bit record count, then every record: a 16-bit
// name length, the name in code page 932, the zone and 150 fares, all little-endian. Record k
// is line k of the input, which failures name: code 5 for a name code page 932 cannot hold,
// code 6 for a name over 65535 bytes.
std::string FareDataFileBytes(std::span<const FareLineRecord> records, Cp932& cp932);

}  // namespace fare_model
