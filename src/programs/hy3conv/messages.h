#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "conversion/outcome.h"
#include "fare_model/notice.h"
#include "fare_model/run_error.h"

namespace hy3conv {

// Messages on standard error in the form editors and build tools read:
// "hy3conv: FILE:LINE:FIELD: text", where LINE and FIELD are left out when unknown. A place a
// workbook shows its own way is given as spreadsheets show it: "hy3conv: BOOK:運賃!C12: text".
std::string MessageLine(std::string_view file, std::optional<int> line, std::optional<int> field,
                        std::string_view text, const std::string& cell = {});

// The name messages start with: "hy3conv", or the program that borrows them.
void SetProgramName(std::string name);

// "CODE:DESCRIPTION", then the explanation where the error has one.
std::string FailureText(const fare_model::RunError& error);

void WriteError(const std::string& text);  // as it is, on standard error
void ReportError(std::string_view text);   // "hy3conv: text"
void ReportFailure(std::string_view file, const fare_model::RunError& error);
// A kFailed outcome's error, against the file it concerns.
void ReportFailure(const conversion::ConversionOutcome& outcome);
void ReportNotice(std::string_view file, const fare_model::Notice& notice);

// Standard output goes through here so that a failed write (a full disk, a closed pipe) is
// noticed and reported instead of passing for a success.
void PrintOut(std::string_view text);
// Flushes standard output; false (after a message on standard error) where anything written
// to it was lost.
bool FinishOutput();

}  // namespace hy3conv
