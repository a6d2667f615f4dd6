#pragma once

#include <string_view>
#include <vector>

#include "fare_model/fare_line_record.h"
#include "fare_model/run_error.h"
#include "fare_model/unicode.h"

namespace fare_model {

// Reads the bytes of a fare display data file (.hy3) back into its records, checking the
// layout on the way: a 16-bit count, then exactly that many records and nothing after them.
// Whatever it returns, the writer turns back into the very same bytes.
//
// Throws RunError; where one record is at fault, line() is its number (from 1):
//   62 the file ends before the 2-byte count, or inside a record (fewer records than the
//      count, or a name length that runs past the end)
//    6 the count is negative
//    9 bytes follow the last counted record (more data than the count says)
//    5 a name is not code page 932, or is in a form the writer would not give it
// Any bytes are safe: nothing is allocated before the bytes to fill it are known to be
// there, and the work is linear in the size of the file.
std::vector<FareLineRecord> ReadFareDataFile(std::string_view bytes, Cp932& cp932);

}  // namespace fare_model
