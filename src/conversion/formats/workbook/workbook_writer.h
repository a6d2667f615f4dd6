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
// fails to write it, 61 where it could not write it whole (a full disk, the file-size limit),
// and the scratch file's own errors (6 past its limit among them).
// The library keeps the book's parts in files of its own while it writes them: they are made
// in `scratchFolder` (the folder the book goes to, where its failures are the output's), under
// names that vanish as soon as they are made; in the system's temporary folder where empty.
std::string FareTableWorkbook(std::span<const FareLineRecord> records,
                              const std::string& scratchFolder = "");

}  // namespace conversion::workbook
