#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/field_reader.h"
#include "conversion/row_source.h"
#include "conversion/row_watch.h"
#include "conversion/workbook/sheet_table.h"
#include "conversion/workbook/workbook.h"
#include "platform/os/code_page.h"

namespace conversion::workbook {

// The rows of one sheet of a workbook: a row is a table row, a cell a field (A the place
// name, B the zone, C onwards the fares), each read as the cell holds it. The first reading
// keeps the rows the second one can reach (at most 301 and the blank row after them), so
// that the sheet is unpacked and parsed once.
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
        std::vector<Cell> cells;
    };

    std::shared_ptr<const Workbook> book_;
    size_t sheet_;
    std::vector<KeptRow> kept_;
    size_t next_ = 0;
    uint32_t rowNumber_ = 0;
    FareFieldReader reader_;
    RowWatch watch_;
    platform::TextDecoder decoder_{platform::TextEncoding::kUtf8};
    std::u32string text_;
};

}  // namespace conversion::workbook
