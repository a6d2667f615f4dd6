#pragma once

// Small workbooks made in memory, for the cases Calc never writes: hostile files, and cell
// forms of other spreadsheet programs.

#include <string>
#include <utility>
#include <vector>

namespace workbook_test {

struct ZipEntry {
    std::string name;
    std::string content;
    bool encrypted = false;
};
std::string MakeZip(const std::vector<ZipEntry>& entries);

// A one-sheet .xlsx whose worksheet holds `sheetData` (the <row> elements) and whose shared
// strings are `sharedStrings` (the <si> elements); `sheetXml` replaces the whole worksheet.
// Cell styles 1 to 4 show a date (built-in and custom), a time and both; 5 a number with a
// unit.
std::string Xlsx(const std::string& sheetData, const std::string& sharedStrings = "",
                 const std::string& sheetXml = "");
// An .ods whose spreadsheet body holds `tables` (the <table:table> elements).
std::string Ods(const std::string& tables);

}  // namespace workbook_test
