#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/os/run_error.h"

// The failures of reading a workbook, each with a plain explanation of what the file is and
// what to do about it.
namespace conversion::workbook {

// Why a file cannot be read as a workbook (code 321).
enum class BookProblem {
    kLegacyOrProtected,  // an Excel 97-2003 .xls, or a workbook saved with a password
    kNotWorkbook,        // no spreadsheet: `detail` says what it is where that is known
    kDamaged,            // cut short or broken
    kEncrypted,          // parts locked with a password
    kForbiddenMarkup,    // XML declarations no office program writes (DOCTYPE, entities)
    kTooDeep,            // elements nested deeper than any workbook nests them
};

// What a zip archive that holds no spreadsheet is, for kNotWorkbook.
inline constexpr std::string_view kZipOfSomethingElse =
    "表計算でない文書か、ほかのファイルの zip です";

// `detail` says where, for the damaged kinds (a part's name, what was wrong).
platform::RunError UnreadableBook(BookProblem problem, std::string_view detail = {});
// Code 6: a part that unpacks to more than the limit, or a cell's text over its limit.
platform::RunError PartTooLarge(std::string_view part, size_t limit);
platform::RunError CellTextTooLong(std::string_view sheet, std::string_view reference);
// Code 9: the sheet asked for is not in the book; the explanation lists those that are.
platform::RunError MissingSheet(std::string_view name, const std::vector<std::string>& sheets);

}  // namespace conversion::workbook
