#pragma once

#include <span>
#include <string>

#include "conversion/fare_model_names.h"

namespace conversion::workbook {

// The sheet the records are written to.
inline constexpr char kFareSheetName[] = "運賃";

// Writes records as an .xlsx workbook: one row a record, the place name in column A, the
// zone in B and Fares(1) onwards from C up to the last non-zero fare, numbers as numbers.
// Converting the workbook gives exactly the data file the records make.
//
// Where no such workbook exists it throws RunError; line() names the record:
//   5 no records at all, or a name that would not read back the same (one starting with a
//     space, one longer than a cell holds)
//   9 more than 301 records (line() is 302)
// and where it cannot be made: 53 where libxlsxwriter cannot be loaded, 57 where the library
// fails to write it, and the scratch file's own errors (6 past its limit among them).
std::string FareTableWorkbook(std::span<const FareLineRecord> records);

}  // namespace conversion::workbook
