#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace conversion::workbook {

// Row and column numbers as a spreadsheet user sees them (from 1). Any number a hostile file
// gives is clamped to this, far beyond the largest sheet an office program makes.
inline constexpr uint32_t kIndexLimit = 1u << 24;

// One cell that holds something, or a run of `span` equal cells from `column` on (a sheet may
// say "this cell 1000 times"; its text is never copied). Empty cells are not kept: a gap
// between columns is empty.
struct Cell {
    enum class Kind {
        kNumber,
        kText,
        kBoolean,
        kError,
        kDate,      // a date or a time: `text` as the spreadsheet shows it ("2025/04/01")
        kNoResult,  // a formula without a stored result, as a script writes one
    };
    uint32_t column = 1;
    uint32_t span = 1;
    Kind kind = Kind::kText;
    double number = 0;  // kNumber only: the value stored (a formula's cached result)
    // kText: the text; kNumber: the value as the file writes it ("1070", "0.5"); kBoolean:
    // "TRUE" or "FALSE"; kError: the error as shown ("#DIV/0!"); kNoResult: empty.
    std::string text;

    friend bool operator==(const Cell&, const Cell&) = default;
};

// A row of a sheet, or a run of `repeat` equal rows starting at row `number` (a sheet may
// say "this row 1000 times"; it is never spelt out). Cells ascend by column; a row without
// cells is empty, and a run of empty rows (a gap in the sheet included) is one SheetRow.
struct SheetRow {
    uint32_t number = 1;
    uint32_t repeat = 1;
    std::vector<Cell> cells;
    // Hidden in the spreadsheet, or filtered out.
    bool hidden = false;

    bool IsEmpty() const { return cells.empty(); }
    friend bool operator==(const SheetRow&, const SheetRow&) = default;
};

// Columns `first` to `last` of a sheet, hidden in the spreadsheet.
struct ColumnRun {
    uint32_t first = 1;
    uint32_t last = 1;
    friend bool operator==(const ColumnRun&, const ColumnRun&) = default;
};

// "C12" for column 3, row 12.
std::string CellReference(uint32_t column, uint32_t row);
// "C" for column 3.
std::string ColumnLetters(uint32_t column);

// Adds without passing kIndexLimit.
constexpr uint32_t ClampedSum(uint64_t a, uint64_t b) {
    return a + b > kIndexLimit ? kIndexLimit : static_cast<uint32_t>(a + b);
}

}  // namespace conversion::workbook
