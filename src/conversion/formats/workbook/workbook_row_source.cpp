#include "conversion/formats/workbook/workbook_row_source.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/name_wording.h"

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
        case Cell::Kind::kDate:
            return FieldCell::Kind::kDate;
        case Cell::Kind::kNoResult:
            return FieldCell::Kind::kNoResult;
        case Cell::Kind::kText:
            break;
    }
    return FieldCell::Kind::kText;
}

bool IsHidden(const std::vector<ColumnRun>& hidden, uint32_t column) {
    auto run = std::upper_bound(hidden.begin(), hidden.end(), column,
                                [](uint32_t value, const ColumnRun& r) { return value < r.first; });
    return run != hidden.begin() && std::prev(run)->last >= column;
}

}  // namespace

WorkbookRowSource::WorkbookRowSource(std::shared_ptr<const Workbook> book, TablePlace place)
    : book_(std::move(book)), place_(place) {}

std::string WorkbookRowSource::SheetName() const {
    return ShortenedName(book_->sheetNames()[place_.sheet]);
}

TableCount WorkbookRowSource::CountRows() {
    SheetTable table(*book_, place_.sheet, kFieldLimit + 1);
    TableCount count;
    kept_.clear();
    tableNotices_.clear();
    bool started = false;
    bool skippedBlankRows = false;
    while (table.Next()) {
        const uint32_t number = table.rowNumber();
        if (number < place_.startRow) {
            table.SkipCopiesBefore(place_.startRow);
            continue;
        }
        // Empty rows above the table are passed over, and told.
        if (!started && table.blank()) {
            skippedBlankRows = true;
            continue;
        }
        started = true;
        rowNumber_ = number;
        if (count.blankLine) {
            // Whatever the sheet holds below the table, however far, is told.
            if (!table.blank()) {
                const uint64_t rows = uint64_t{1} + table.SkipRestOfRun();
                count.rowsAfterBlank =
                    static_cast<int>(std::min<uint64_t>(count.rowsAfterBlank + rows, INT_MAX));
            }
            continue;
        }
        if (table.blank()) {
            count.blankLine = true;
            count.blankLineNumber = static_cast<int>(number);
        } else if (count.rows == kCountLimit) {
            throw fare_model::RunError(fare_model::error_code::kOverflow, static_cast<int>(number));
        } else {
            ++count.rows;
        }
        if (kept_.size() < kKeptRows) {
            kept_.push_back({number, table.blank(), table.hidden(), table.cells(), {}, {}, {}});
        }
    }
    Notices hiddenColumns = ReadKeptRows(table.hiddenColumns());
    if (!started) {
        return count;
    }
    // What the user may not see in the sheet comes first: which sheet, where the table
    // starts, which of its columns are hidden.
    if (book_->sheetNames().size() > 1 && !place_.sheetNamed) {
        Notice sheet;
        sheet.kind = Notice::Kind::kSheetChosen;
        sheet.text = SheetName();
        sheet.names = FirstNames(book_->sheetNames());
        sheet.count = static_cast<int>(book_->sheetNames().size());
        tableNotices_.push_back(std::move(sheet));
    }
    if (skippedBlankRows || firstColumn_ > 1) {
        Notice start;
        start.kind = Notice::Kind::kTableStartsLater;
        start.line = static_cast<int>(kept_.front().number);
        start.cell =
            SheetName() + "!" + workbook::CellReference(firstColumn_, kept_.front().number);
        tableNotices_.push_back(std::move(start));
    }
    std::move(hiddenColumns.begin(), hiddenColumns.end(), std::back_inserter(tableNotices_));
    return count;
}

Notices WorkbookRowSource::ReadKeptRows(const std::vector<ColumnRun>& hiddenColumns) {
    const size_t tableRows = std::min(kept_.size(), size_t{kMaxTableRows});
    // The table's first column is the leftmost one its rows use: a row whose place name is
    // empty does not move it.
    firstColumn_ = kIndexLimit;
    for (size_t k = 0; k < tableRows && !kept_[k].blank; ++k) {
        firstColumn_ = std::min(firstColumn_, kept_[k].cells.front().column);
    }
    if (firstColumn_ == kIndexLimit) {
        firstColumn_ = 1;
    }
    std::vector<bool> hiddenFieldUsed(kFieldLimit + 1, false);
    for (size_t k = 0; k < tableRows && !kept_[k].blank; ++k) {
        KeptRow& row = kept_[k];
        try {
            ReadCells(row.cells, row);
        } catch (...) {
            row.failure = std::current_exception();
            break;
        }
        if (row.hidden) {
            Notice hidden;
            hidden.kind = Notice::Kind::kHiddenRow;
            row.notices.insert(row.notices.begin(), hidden);
        }
        for (const Cell& cell : row.cells) {
            const uint32_t field = cell.column - firstColumn_ + 1;
            for (uint32_t copy = 0; copy < cell.span && field + copy <= kFieldLimit; ++copy) {
                if (IsHidden(hiddenColumns, cell.column + copy)) {
                    hiddenFieldUsed[field + copy] = true;
                }
            }
        }
    }
    Notices hiddenColumnNotices;
    for (uint32_t field = 1; field <= kFieldLimit; ++field) {
        if (hiddenFieldUsed[field]) {
            const std::string letters = ColumnLetters(field + firstColumn_ - 1);
            Notice hidden;
            hidden.kind = Notice::Kind::kHiddenColumn;
            hidden.field = static_cast<int>(field);
            hidden.cell = SheetName() + "!" + letters + ":" + letters;
            hiddenColumnNotices.push_back(std::move(hidden));
        }
    }
    for (KeptRow& row : kept_) {
        row.cells = {};
    }
    return hiddenColumnNotices;
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
    uint32_t column = firstColumn_;
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
    if (!field) {
        return SheetName() + "!" + std::to_string(row) + ":" + std::to_string(row);
    }
    return SheetName() + "!" +
           workbook::CellReference(static_cast<uint32_t>(*field) + firstColumn_ - 1,
                                   static_cast<uint32_t>(row));
}

}  // namespace conversion::workbook
