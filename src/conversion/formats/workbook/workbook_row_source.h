#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/formats/workbook/sheet_table.h"
#include "conversion/formats/workbook/workbook.h"
#include "conversion/row_source.h"
#include "fare_model/field_reader.h"
#include "fare_model/row_watch.h"
#include "platform/os/code_page.h"

namespace conversion::workbook {

// Where a sheet's table is taken from.
struct TablePlace {
    size_t sheet = 0;
    // The sheet was named by the user; where it was not, a book of several sheets says which.
    bool sheetNamed = false;
    // The user's first row of the table: the rows above it are not the table's.
    uint32_t startRow = 1;
};

// The rows of one sheet of a workbook: a row is a table row, a cell a field (the table's
// first column the place name, the next the zone, the others the fares), each read as the
// cell holds it. The table starts at the first row that holds anything from `startRow` on, and
// at the leftmost column any of its rows uses. The sheet is unpacked and parsed once: the
// first reading keeps the rows the second one will ask for (at most 301, up to the first
// blank row) as it counts them, and reads their records once it knows the table's columns.
class WorkbookRowSource : public RowSource {
  public:
    WorkbookRowSource(std::shared_ptr<const Workbook> book, TablePlace place);

    TableCount CountRows() override;
    void Restart(const TableCount& count) override;
    Row ReadRow(bool wanted, FareLineRecord& record, Notices& notices) override;
    Notices TableNotices() override { return std::move(tableNotices_); }
    std::string SheetName() const override;
    int rowNumber() const override { return static_cast<int>(rowNumber_); }
    // "運賃!C12" for a field, "運賃!12:12" for a whole row.
    std::string CellReference(int row, std::optional<int> field) const override;

  private:
    struct KeptRow {
        uint32_t number;
        bool blank;
        bool hidden;
        std::vector<Cell> cells;
        FareLineRecord record;
        Notices notices;
        // What reading the row threw, thrown again when the row is asked for: the count's
        // own failure (too many rows) comes first, as it does for a text table.
        std::exception_ptr failure;
    };

    // Reads the kept rows of the table from its first column on: the notices of the hidden
    // columns that hold any of its values.
    Notices ReadKeptRows(const std::vector<ColumnRun>& hiddenColumns);
    void ReadCells(const std::vector<Cell>& cells, KeptRow& row);

    std::shared_ptr<const Workbook> book_;
    TablePlace place_;
    uint32_t firstColumn_ = 1;
    std::vector<KeptRow> kept_;
    Notices tableNotices_;
    size_t next_ = 0;
    uint32_t rowNumber_ = 0;
    fare_model::FareFieldReader reader_;
    fare_model::RowWatch watch_;
    platform::TextDecoder decoder_{platform::TextEncoding::kUtf8};
    std::u32string text_;
};

}  // namespace conversion::workbook
