#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/formats/workbook/sheet_row.h"
#include "conversion/formats/workbook/xml_stream.h"

namespace conversion::workbook {

// No cell's text is longer than this; Excel itself stops at 32767 characters. It bounds what
// a short element such as "so many spaces" may expand to.
inline constexpr size_t kCellTextLimit = size_t{1} << 20;

// The rows of one sheet, in order, read as they are asked for.
class SheetRows {
  public:
    virtual ~SheetRows() = default;
    // The next row or run of rows; false after the last row that holds anything (the empty
    // rows at a sheet's end are not rows of it). Throws fare_model::RunError.
    virtual bool Next(SheetRow& row) = 0;
    // The hidden columns, in order, once the first row has been asked for (a sheet describes
    // its columns before its rows).
    const std::vector<ColumnRun>& hiddenColumns() const { return hiddenColumns_; }

  protected:
    // Adds columns `first` to `last` to the hidden ones, joining a run that goes on.
    void HideColumns(uint32_t first, uint32_t last);

    std::vector<ColumnRun> hiddenColumns_;
};

// Gathers one row's cells as a sheet lists them. Of the cells more than `columnLimit` columns
// right of the row's first cell only the first is kept (enough to tell the row is too long,
// wherever the table starts); a cell repeated across columns is one run, cut there.
class RowBuilder {
  public:
    explicit RowBuilder(uint32_t columnLimit) : columnLimit_(columnLimit) {}

    void Start() {
        cells_.clear();
        // Rows of one sheet are alike: the last one's width saves growing this one.
        cells_.reserve(lastWidth_);
        nextColumn_ = 1;
        firstColumn_ = 0;
        keptBeyondLimit_ = false;
    }
    uint32_t nextColumn() const { return nextColumn_; }
    // `cell.column` is where the first of `repeat` equal cells stands.
    void Add(Cell cell, uint32_t repeat = 1);
    // Empty cells only move the column on.
    void Skip(uint32_t repeat) { nextColumn_ = ClampedSum(nextColumn_, repeat); }
    void MoveTo(uint32_t column) { nextColumn_ = column; }
    // The cells by column; where a column is named twice, the later cell holds.
    std::vector<Cell> Take();

  private:
    void Keep(Cell cell, uint32_t repeat);
    void Compact();

    uint32_t columnLimit_;
    std::vector<Cell> cells_;
    size_t lastWidth_ = 0;
    uint32_t nextColumn_ = 1;
    uint32_t firstColumn_ = 0;  // of the row's first cell; 0 before it
    bool keptBeyondLimit_ = false;
};

// Puts rows in order for SheetRows::Next: a gap between row numbers becomes a run of empty
// rows, neighbouring empty rows become one run, and the empty run at the end is dropped.
class RowQueue {
  public:
    void Add(SheetRow row);
    void Finish() { pendingEmpty_.reset(); }
    bool Pop(SheetRow& row);
    uint32_t nextNumber() const { return nextNumber_; }

  private:
    void AddEmpty(uint32_t number, uint32_t repeat);

    std::deque<SheetRow> ready_;
    std::optional<SheetRow> pendingEmpty_;
    uint32_t nextNumber_ = 1;
};

// A sheet read from one XML part block by block: the handler adds rows to `queue_` as the
// parse meets them, and Next parses only as far as the next row.
class StreamedSheetRows : public SheetRows, protected XmlHandler {
  public:
    // `sheetName` is the book's own, which outlives the rows.
    StreamedSheetRows(const ZipArchive& archive, std::string_view part, std::string_view sheetName)
        : sheetName_(sheetName), stream_(archive, part, *this) {}
    bool Next(SheetRow& row) override;

  protected:
    // Adds text to a cell's text, refusing (code 6) text over kCellTextLimit.
    void AppendCellText(std::string& text, std::string_view more, uint32_t column,
                        uint32_t row) const;
    void AppendRepeated(std::string& text, char ch, uint64_t count, uint32_t column,
                        uint32_t row) const;

    std::string_view sheetName_;
    XmlStream stream_;
    RowQueue queue_;

  private:
    bool finished_ = false;
};

// A whole decimal number as an attribute holds it; none where it is not one. Clamped to
// kIndexLimit.
std::optional<uint32_t> ParseIndex(std::string_view text);
// The value of a number as the file writes it; none where the text is not a number.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace conversion::workbook
