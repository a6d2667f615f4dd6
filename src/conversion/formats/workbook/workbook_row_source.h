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

// The rows of one sheet of a workbook: a row is a table row, a cell a field (A the place
// name, B the zone, C onwards the fares), each read as the cell holds it. The sheet is
// unpacked and parsed once: the first reading reads the rows the second one will ask for (at
// most 301, up to the first blank row or the first row that fails) as it counts them, and
// keeps their records, not their cells.
class WorkbookRowSource : public RowSource {
  public:
    WorkbookRowSource(std::shared_ptr<const Workbook> book, size_t sheet);

    TableCount CountRows() override;
    void Restart(const TableCount& count) override;
    Row ReadRow(bool wanted, FareLineRecord& record, Notices& notices) override;
    int rowNumber() const override { return static_cast<int>(rowNumber_); }
    // "運賃!C12" for a field, "運賃!12:12" for a whole row.
    std::string CellReference(int row, std::optional<int> field) const override;

  private:
    struct KeptRow {
        uint32_t number;
        bool blank;
        FareLineRecord record;
        Notices notices;
        // What reading the row threw, thrown again when the row is asked for: the count's
        // own failure (too many rows) comes first, as it does for a text table.
        std::exception_ptr failure;
    };

    void ReadCells(const std::vector<Cell>& cells, KeptRow& row);

    std::shared_ptr<const Workbook> book_;
    size_t sheet_;
    std::vector<KeptRow> kept_;
    size_t next_ = 0;
    uint32_t rowNumber_ = 0;
    fare_model::FareFieldReader reader_;
    fare_model::RowWatch watch_;
    platform::TextDecoder decoder_{platform::TextEncoding::kUtf8};
    std::u32string text_;
};

}  // namespace conversion::workbook
