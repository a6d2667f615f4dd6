#include "conversion/formats/workbook/sheet_list.h"

#include <algorithm>

#include "conversion/formats/workbook/sheet_table.h"
#include "conversion/formats/workbook/workbook_file.h"

namespace conversion::workbook {
namespace {

// Failures of a book are the book's: the list is emptied and the outcome kept.
template <typename Result, typename Body>
void RunOnBook(const std::string& path, Result& result, Body body) noexcept {
    ConversionOutcome outcome = RunUseCase(path, path, true, [&](UseCaseProgress&) {
        body();
        return ConversionOutcome::Succeeded();
    });
    if (outcome.kind == ConversionOutcome::Kind::kFailed) {
        result = Result{};
        result.failure = std::move(outcome);
    }
}

std::string ShownText(const Cell& cell) {
    return cell.kind == Cell::Kind::kNoResult ? std::string("=?") : cell.text;
}

// A row that reads as a fare table's: its first cell is followed by a number (the zone).
bool LooksLikeTableRow(const std::vector<Cell>& cells) {
    return cells.size() >= 2 && cells[1].column == cells[0].column + cells[0].span &&
           cells[1].kind == Cell::Kind::kNumber;
}

SheetOverview Overview(const Workbook& book, size_t sheet) {
    // As wide as any spreadsheet program's sheet.
    constexpr uint32_t kWidestSheet = 16384;
    SheetOverview overview;
    overview.name = std::string(book.sheetNames()[sheet]);
    SheetTable table(book, sheet, kWidestSheet);
    while (table.Next()) {
        const uint32_t row = table.rowNumber();
        if (!table.blank()) {
            overview.rows = std::max(overview.rows, row);
            const Cell& last = table.cells().back();
            overview.columns = std::max(overview.columns, ClampedSum(last.column, last.span - 1));
            if (!overview.tableRow && LooksLikeTableRow(table.cells())) {
                overview.tableRow = row;
            }
        }
        if (row > kPreviewRows) {
            table.SkipRestOfRun();
            continue;
        }
        // A run of empty rows comes as one row: the grid has a line for each.
        overview.preview.resize(row - 1);
        std::vector<std::string>& cells = overview.preview.emplace_back();
        for (const Cell& cell : table.cells()) {
            for (uint32_t column = cell.column;
                 column < ClampedSum(cell.column, cell.span) && column <= kPreviewColumns;
                 ++column) {
                cells.resize(column - 1);
                cells.push_back(ShownText(cell));
            }
        }
    }
    overview.preview.resize(std::min(overview.rows, kPreviewRows));
    return overview;
}

}  // namespace

SheetList ListSheets(platform::FileSystem& files, const std::string& path) noexcept {
    SheetList list;
    RunOnBook(path, list,
              [&] { list.names = ReadWorkbookFile(files, path)->sheetNames().ToVector(); });
    return list;
}

size_t BookOverview::SuggestedSheet() const {
    auto table = std::find_if(sheets.begin(), sheets.end(), [](const SheetOverview& sheet) {
        return sheet.tableRow.has_value();
    });
    return table == sheets.end() ? 0 : static_cast<size_t>(table - sheets.begin());
}

BookOverview ReadBookOverview(platform::FileSystem& files, const std::string& path) noexcept {
    BookOverview overview;
    RunOnBook(path, overview, [&] {
        std::unique_ptr<platform::InputFile> input = files.OpenInput(path);
        if (ContainerOf(input->ReadBlock()) == Container::kOther) {
            return;
        }
        input->Rewind();
        overview.isWorkbook = true;
        std::unique_ptr<Workbook> book = ReadWorkbook(*input);
        for (size_t sheet = 0; sheet < book->sheetNames().size(); ++sheet) {
            overview.sheets.push_back(Overview(*book, sheet));
        }
    });
    return overview;
}

}  // namespace conversion::workbook
