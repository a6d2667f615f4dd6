#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/fare_model_names.h"
#include "conversion/formats/workbook/name_list.h"

// The failures of reading a workbook, with the facts the wording module explains.
namespace conversion::workbook {

// Code 321: a file that cannot be read as a workbook, for `why` (kLegacyOrProtected,
// kNotWorkbook, kBookDamaged and the other reasons of damage, kBookEncrypted,
// kForbiddenMarkup, kTooDeep) with where it was found: a part's or a sheet's name, a line.
RunError UnreadableBook(Reason why, std::string_view where = {}, int64_t line = 0);
// Code 6: a part that unpacks to more than the limit, or a cell's text over its limit.
RunError PartTooLarge(std::string_view part, size_t limit);
RunError CellTextTooLong(std::string_view sheet, std::string_view reference);
// Code 9: the sheet asked for is not in the book; the error lists those that are.
RunError MissingSheet(std::string_view name, const NameList& sheets);
// The first sheets' names, shortened, as a message lists them.
std::vector<std::string> FirstNames(const NameList& sheets);

}  // namespace conversion::workbook
