// Reads arbitrary bytes as a spreadsheet workbook and checks what the reader promises: it
// either fails with a RunError of a workbook code (321 not a readable workbook, 6 too large,
// 9 no such sheet) or yields rows in order, each with its cells in ascending columns, never
// more than the column limit (counted from the row's first cell) and one beyond it, no cell text
// over its limit, every number finite, runs of cells cut at the limit, and no run of empty rows at
// a sheet's end. Any input ends quickly: repeats are never spelt out.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "conversion/failure_wording.h"
#include "conversion/formats/workbook/workbook.h"
#include "fare_model/run_error.h"

namespace {

using conversion::workbook::Cell;
using conversion::workbook::SheetRow;
using conversion::workbook::Workbook;

constexpr uint32_t kColumnLimit = 153;
constexpr size_t kSheetsRead = 4;

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

void CheckRow(const SheetRow& row, uint32_t nextNumber) {
    if (row.number < nextNumber || row.repeat == 0) {
        Broken("rows out of order");
    }
    if (row.cells.size() > kColumnLimit + 1) {
        Broken("more cells than the limit and one");
    }
    uint32_t next = 1;  // the first column the next cell may stand in
    // The limit counts from the row's first cell, wherever the table starts.
    const uint32_t limit =
        row.cells.empty() ? kColumnLimit : row.cells[0].column + kColumnLimit - 1;
    for (const Cell& cell : row.cells) {
        if (cell.column < next || cell.column == 0 || cell.span == 0 ||
            cell.column > conversion::workbook::kIndexLimit) {
            Broken("cells out of order");
        }
        if (next > limit + 1) {
            Broken("two cells beyond the limit");
        }
        if (cell.column <= limit && cell.column + cell.span > limit + 2) {
            Broken("a run past the first column beyond the limit");
        }
        next = cell.column + cell.span;
        if (cell.text.size() > conversion::workbook::kCellTextLimit) {
            Broken("cell text over its limit");
        }
        if (cell.kind == Cell::Kind::kNumber && !std::isfinite(cell.number)) {
            Broken("a number that is not finite");
        }
        if (cell.text.empty() && cell.kind != Cell::Kind::kError &&
            cell.kind != Cell::Kind::kNoResult && cell.kind != Cell::Kind::kDate) {
            Broken("an empty cell kept");
        }
    }
}

void ReadSheet(const Workbook& book, size_t index) {
    auto rows = book.OpenSheet(index, kColumnLimit);
    SheetRow row;
    uint32_t nextNumber = 1;
    bool lastEmpty = false;
    while (rows->Next(row)) {
        CheckRow(row, nextNumber);
        nextNumber = conversion::workbook::ClampedSum(row.number, row.repeat);
        lastEmpty = row.IsEmpty();
    }
    if (lastEmpty) {
        Broken("empty rows at the end of a sheet");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        auto book = Workbook::Open(std::string(reinterpret_cast<const char*>(data), size));
        for (size_t index = 0; index < std::min(book->sheetNames().size(), kSheetsRead); ++index) {
            ReadSheet(*book, index);
        }
    } catch (const fare_model::RunError& error) {
        if (error.code() != 321 && error.code() != 6 && error.code() != 9) {
            Broken("a code the reader does not give");
        }
        if (conversion::ExplanationText(error).empty()) {
            Broken("a failure without an explanation");
        }
    }
    return 0;
}
