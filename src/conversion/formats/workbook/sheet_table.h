#pragma once

#include <memory>
#include <string>
#include <vector>

#include "conversion/formats/workbook/workbook.h"

namespace conversion::workbook {

// One sheet's rows as a fare table reads them, one row at a time: a repeated row as often
// as it repeats, a run of blank rows (a gap in the sheet included) as one blank row. A row is
// blank where every cell is empty or holds only spaces, as a blank line is.
class SheetTable {
  public:
    // `columnLimit`: as SheetRows keeps cells.
    SheetTable(const Workbook& book, size_t sheet, uint32_t columnLimit);

    // The next row; false after the sheet's last row that holds anything. Throws
    // fare_model::RunError as the workbook's reader does.
    bool Next();
    uint32_t rowNumber() const { return row_.number + copy_; }
    // The row's cells by column; columns between them are empty.
    const std::vector<Cell>& cells() const { return row_.cells; }
    bool blank() const { return blank_; }
    // Hidden in the spreadsheet, or filtered out.
    bool hidden() const { return row_.hidden; }
    // Passes over the copies of a repeated row that stand before row `row`.
    void SkipCopiesBefore(uint32_t row);
    // Passes over the rest of a repeated row: how many copies that was.
    uint32_t SkipRestOfRun();
    const std::vector<ColumnRun>& hiddenColumns() const { return rows_->hiddenColumns(); }

    std::string_view sheetName() const { return sheetName_; }

  private:
    std::string_view sheetName_;  // the book's own, which outlives the table
    std::unique_ptr<SheetRows> rows_;
    SheetRow row_;
    uint32_t copy_ = 0;
    bool started_ = false;
    bool blank_ = false;
};

// A text that holds nothing but spaces (half-width or ideographic), as a blank line does.
bool IsBlankCellText(std::string_view utf8);

}  // namespace conversion::workbook
