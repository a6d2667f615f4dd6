#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "conversion/outcome.h"
#include "platform/os/file_system.h"

namespace conversion::workbook {

// The sheets of the workbook at `path`, in the order of their tabs; or, where it is no
// readable workbook, the failed outcome that says why (never throws).
struct SheetList {
    std::vector<std::string> names;
    std::optional<ConversionOutcome> failure;
};
SheetList ListSheets(platform::FileSystem& files, const std::string& path) noexcept;

// One sheet as the user chooses it: its size, its first rows as the spreadsheet shows them,
// and where its table seems to start.
struct SheetOverview {
    std::string name;
    uint32_t rows = 0;     // the last row that holds anything
    uint32_t columns = 0;  // the last column that holds anything
    // The sheet's first rows (up to kPreviewRows) and columns (up to kPreviewColumns), each
    // cell's text as shown; a row of the sheet for each, empty rows included.
    std::vector<std::vector<std::string>> preview;
    // The first row whose second column holds a number (a zone), none where no row does.
    std::optional<uint32_t> tableRow;
};
inline constexpr uint32_t kPreviewRows = 40;
inline constexpr uint32_t kPreviewColumns = 12;

// Every sheet of the input at `path`, where it is a workbook. `isWorkbook` is false for any
// other input (a text table), which has no sheets to choose.
struct BookOverview {
    bool isWorkbook = false;
    std::vector<SheetOverview> sheets;
    std::optional<ConversionOutcome> failure;

    // The sheet to offer first: the first that looks like a fare table, else the first.
    size_t SuggestedSheet() const;
};
BookOverview ReadBookOverview(platform::FileSystem& files, const std::string& path) noexcept;

}  // namespace conversion::workbook
