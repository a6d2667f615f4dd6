#include "conversion/formats/workbook/workbook_row_source.h"

namespace conversion::workbook {
namespace {

// A row has at most 152 fields: the first cell beyond them is kept, so that the row fails as
// a text line with a 153rd field does.
using fare_model::FieldCell;

constexpr uint32_t kFieldLimit = 152;
// Rows are counted up to this many, as a text table's lines are.
constexpr int kCountLimit = 32767;
// The second reading reads at most 301 rows and the blank row after them.
constexpr size_t kKeptRows = kMaxTableRows + 1;

FieldCell::Kind FieldKindOf(Cell::Kind kind) {
    switch (kind) {
        case Cell::Kind::kNumber:
            return FieldCell::Kind::kNumber;
        case Cell::Kind::kBoolean:
            return FieldCell::Kind::kBoolean;
        case Cell::Kind::kError:
            return FieldCell::Kind::kError;
        case Cell::Kind::kText:
            break;
    }
    return FieldCell::Kind::kText;
}

}  // namespace

WorkbookRowSource::WorkbookRowSource(std::shared_ptr<const Workbook> book, size_t sheet)
    : book_(std::move(book)), sheet_(sheet) {}

TableCount WorkbookRowSource::CountRows() {
    SheetTable table(*book_, sheet_, kFieldLimit + 1);
    TableCount count;
    kept_.clear();
    // Rows are read up to the first blank one or the first one that fails, as the second
    // reading reads them.
    bool reading = true;
    while (table.Next()) {
        rowNumber_ = table.rowNumber();
        if (kept_.size() < kKeptRows) {
            KeptRow& row = kept_.emplace_back(KeptRow{rowNumber_, table.blank(), {}, {}, {}});
            reading = reading && !row.blank && kept_.size() <= size_t{kMaxTableRows};
            if (reading) {
                try {
                    ReadCells(table.cells(), row);
                } catch (...) {
                    row.failure = std::current_exception();
                    reading = false;
                }
            }
        }
        if (table.blank()) {
            if (!count.blankLine) {
                count.blankLine = true;
                count.blankLineNumber = static_cast<int>(rowNumber_);
            }
        } else if (count.blankLine) {
            // What the table loses after its blank row, looked for as far as a text's lines.
            if (rowNumber_ > kCountLimit + 1) {
                break;
            }
            ++count.rowsAfterBlank;
        } else if (count.rows == kCountLimit) {
            throw fare_model::RunError(fare_model::error_code::kOverflow,
                                       static_cast<int>(rowNumber_));
        } else {
            ++count.rows;
        }
    }
    return count;
}

void WorkbookRowSource::Restart(const TableCount&) {
    next_ = 0;
    rowNumber_ = 0;
}

RowSource::Row WorkbookRowSource::ReadRow(bool wanted, FareLineRecord& record, Notices& notices) {
    if (next_ == kept_.size()) {
        return Row::kEnd;
    }
    KeptRow& row = kept_[next_++];
    rowNumber_ = row.number;
    if (row.blank) {
        return Row::kBlank;
    }
    if (!wanted) {
        return Row::kRow;
    }
    if (row.failure) {
        std::rethrow_exception(row.failure);
    }
    record = std::move(row.record);
    notices = std::move(row.notices);
    return Row::kRow;
}

void WorkbookRowSource::ReadCells(const std::vector<Cell>& cells, KeptRow& row) {
    uint32_t column = 1;
    for (const Cell& cell : cells) {
        for (; column < cell.column; ++column) {
            reader_.AddCell({});  // an empty cell between two that hold something
            watch_.FeedField({});
        }
        FieldCell field;
        field.kind = FieldKindOf(cell.kind);
        field.number = cell.number;
        // A number cell is read by its value; the text of the others, which the workbook
        // holds as UTF-8, is read as characters.
        if (field.kind != FieldCell::Kind::kNumber && !decoder_.DecodeInto(cell.text, text_)) {
            text_ = U"\uFFFD";
        }
        field.text = text_;
        // The watch looks for text, control characters and lost letters; a number is none.
        const std::u32string_view watched =
            field.kind == FieldCell::Kind::kNumber ? std::u32string_view(U"0") : field.text;
        for (uint32_t copy = 0; copy < cell.span; ++copy, ++column) {
            reader_.AddCell(field);
            watch_.FeedField(watched);
        }
    }
    row.record = reader_.Finish();
    row.notices = reader_.TakeNotices();
    watch_.Finish(row.record, row.notices);
}

std::string WorkbookRowSource::CellReference(int row, std::optional<int> field) const {
    const std::string& sheet = book_->sheetNames()[sheet_];
    if (!field) {
        return sheet + "!" + std::to_string(row) + ":" + std::to_string(row);
    }
    return sheet + "!" + workbook::CellReference(static_cast<uint32_t>(*field), row);
}

}  // namespace conversion::workbook
