#include "conversion/formats/workbook/sheet_table.h"

#include <algorithm>

namespace conversion::workbook {

bool IsBlankCellText(std::string_view utf8) {
    constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
    while (!utf8.empty()) {
        if (utf8.front() == ' ') {
            utf8.remove_prefix(1);
        } else if (utf8.starts_with(kIdeographicSpace)) {
            utf8.remove_prefix(kIdeographicSpace.size());
        } else {
            return false;
        }
    }
    return true;
}

SheetTable::SheetTable(const Workbook& book, size_t sheet, uint32_t columnLimit)
    : sheetName_(book.sheetNames().at(sheet)), rows_(book.OpenSheet(sheet, columnLimit)) {}

bool SheetTable::Next() {
    if (started_ && !blank_ && copy_ + 1 < row_.repeat) {
        ++copy_;
        return true;
    }
    started_ = true;
    copy_ = 0;
    if (!rows_->Next(row_)) {
        return false;
    }
    blank_ = std::all_of(row_.cells.begin(), row_.cells.end(), [](const Cell& cell) {
        return cell.kind == Cell::Kind::kText && IsBlankCellText(cell.text);
    });
    return true;
}

void SheetTable::SkipCopiesBefore(uint32_t row) {
    if (row > rowNumber() + 1) {
        copy_ = std::min<uint64_t>(row_.repeat - 1, uint64_t{row} - row_.number - 1);
    }
}

uint32_t SheetTable::SkipRestOfRun() {
    const uint32_t rest = blank_ ? 0 : row_.repeat - 1 - copy_;
    copy_ += rest;
    return rest;
}

}  // namespace conversion::workbook
