#include "conversion/formats/workbook/sheet_rows.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "conversion/formats/workbook/workbook_errors.h"

namespace conversion::workbook {

std::string ColumnLetters(uint32_t column) {
    std::string letters;
    for (uint32_t rest = column; rest > 0; rest = (rest - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (rest - 1) % 26));
    }
    return letters;
}

std::string CellReference(uint32_t column, uint32_t row) {
    return ColumnLetters(column) + std::to_string(row);
}

void SheetRows::HideColumns(uint32_t first, uint32_t last) {
    if (first > last) {
        return;
    }
    if (!hiddenColumns_.empty() && hiddenColumns_.back().last + 1 >= first &&
        hiddenColumns_.back().first <= first) {
        hiddenColumns_.back().last = std::max(hiddenColumns_.back().last, last);
    } else {
        hiddenColumns_.push_back({first, last});
    }
}

void RowBuilder::Add(Cell cell, uint32_t repeat) {
    nextColumn_ = ClampedSum(cell.column, repeat);
    if (firstColumn_ == 0) {
        firstColumn_ = cell.column;
    } else if (cell.column < firstColumn_) {
        // A sheet that lists a row's cells out of order: the limit moves left with the first
        // cell, and what is now beyond it goes.
        firstColumn_ = cell.column;
        Compact();
        std::vector<Cell> kept = std::exchange(cells_, {});
        keptBeyondLimit_ = false;
        for (Cell& earlier : kept) {
            const uint32_t span = earlier.span;
            Keep(std::move(earlier), span);
        }
    }
    Keep(std::move(cell), repeat);
}

void RowBuilder::Keep(Cell cell, uint32_t repeat) {
    const uint32_t limit = ClampedSum(columnLimit_, firstColumn_ - 1);
    // The run is cut where it passes the limit, keeping the first column beyond it (once).
    uint32_t end =
        std::min(ClampedSum(cell.column, repeat), ClampedSum(limit, keptBeyondLimit_ ? 1 : 2));
    if (cell.column > limit) {
        if (keptBeyondLimit_) {
            return;
        }
        end = ClampedSum(cell.column, 1);
    }
    keptBeyondLimit_ = keptBeyondLimit_ || end > limit + 1;
    // A cell in the last column a sheet can name ends where the clamp does: it still spans its
    // own column.
    cell.span = std::max<uint32_t>(end - cell.column, 1);
    cells_.push_back(std::move(cell));
    // A row that names the same columns over and over holds no more than its columns.
    if (cells_.size() > 4 * (size_t{columnLimit_} + 2)) {
        Compact();
    }
}

void RowBuilder::Compact() {
    // Cells come in order but for sheets that name them out of order or twice.
    if (std::adjacent_find(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) {
            return a.column >= b.column;
        }) == cells_.end()) {
        return;
    }
    std::stable_sort(cells_.begin(), cells_.end(),
                     [](const Cell& a, const Cell& b) { return a.column < b.column; });
    std::vector<Cell> cells;
    cells.reserve(cells_.size());
    for (Cell& cell : cells_) {
        // Only single cells named twice meet here: runs follow one another.
        if (!cells.empty() && cells.back().column == cell.column) {
            cells.back() = std::move(cell);
        } else {
            cells.push_back(std::move(cell));
        }
    }
    cells_ = std::move(cells);
}

std::vector<Cell> RowBuilder::Take() {
    Compact();
    lastWidth_ = cells_.size();
    return std::exchange(cells_, {});
}

void RowQueue::AddEmpty(uint32_t number, uint32_t repeat) {
    if (repeat == 0) {
        return;
    }
    if (pendingEmpty_) {
        pendingEmpty_->repeat = ClampedSum(pendingEmpty_->repeat, repeat);
    } else {
        pendingEmpty_ = SheetRow{number, repeat, {}};
    }
}

void RowQueue::Add(SheetRow row) {
    row.repeat = std::max<uint32_t>(row.repeat, 1);
    if (row.number > nextNumber_) {
        AddEmpty(nextNumber_, row.number - nextNumber_);
    } else {
        // Rows listed out of order, or twice, follow on from the last one.
        row.number = nextNumber_;
    }
    nextNumber_ = ClampedSum(row.number, row.repeat);
    if (row.IsEmpty()) {
        AddEmpty(row.number, row.repeat);
        return;
    }
    if (pendingEmpty_) {
        ready_.push_back(std::move(*pendingEmpty_));
        pendingEmpty_.reset();
    }
    ready_.push_back(std::move(row));
}

bool RowQueue::Pop(SheetRow& row) {
    if (ready_.empty()) {
        return false;
    }
    row = std::move(ready_.front());
    ready_.pop_front();
    return true;
}

bool StreamedSheetRows::Next(SheetRow& row) {
    while (!queue_.Pop(row)) {
        if (finished_) {
            return false;
        }
        if (!stream_.ParseBlock()) {
            finished_ = true;
            queue_.Finish();
        }
    }
    return true;
}

void StreamedSheetRows::AppendCellText(std::string& text, std::string_view more, uint32_t column,
                                       uint32_t row) const {
    if (more.size() > kCellTextLimit - text.size()) {
        throw CellTextTooLong(sheetName_, CellReference(column, row));
    }
    text += more;
}

void StreamedSheetRows::AppendRepeated(std::string& text, char ch, uint64_t count, uint32_t column,
                                       uint32_t row) const {
    if (count > kCellTextLimit - text.size()) {
        throw CellTextTooLong(sheetName_, CellReference(column, row));
    }
    text.append(static_cast<size_t>(count), ch);
}

std::optional<uint32_t> ParseIndex(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char digit : text) {
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(digit - '0'), kIndexLimit);
    }
    return static_cast<uint32_t>(value);
}

std::optional<double> ParseNumber(std::string_view text) {
    // Most cells of a fare table hold a whole number of a few digits: read at once.
    if (!text.empty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        int value = 0;
        for (char digit : text) {
            value = value * 10 + (digit - '0');
        }
        return value;
    }
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace conversion::workbook
