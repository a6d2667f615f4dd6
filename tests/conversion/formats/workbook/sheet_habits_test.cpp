// A spreadsheet's own habits: formulas without results, error cells, dates, hidden rows and
// columns, several sheets, a table that starts below or right of A1. What the sheet shows is
// what goes onto the card, or the conversion is refused in words and the old file kept.
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/conversion_run.h"
#include "conversion/failure_wording.h"
#include "conversion/wording.h"
#include "test_support.h"
#include "zip_builder.h"

namespace {

using fare_model::Notice;
using Kind = conversion::ConversionOutcome::Kind;

// Cells and rows of the two formats, written as their programs write them.
std::string XText(const std::string& ref, const std::string& text) {
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}
std::string XCell(const std::string& ref, const std::string& inside,
                  const std::string& attrs = "") {
    return "<c r=\"" + ref + "\"" + attrs + ">" + inside + "</c>";
}
std::string XRow(int row, const std::string& cells, const std::string& attrs = "") {
    return "<row r=\"" + std::to_string(row) + "\"" + attrs + ">" + cells + "</row>";
}
// Stop `name` in row `row` of an .xlsx, from column `column` on, with its zone and a fare.
std::string XStop(int row, const std::string& name, int zone, const std::string& fare,
                  char column = 'A', const std::string& attrs = "") {
    const std::string r = std::to_string(row);
    return XRow(row,
                XText(std::string(1, column) + r, name) +
                    XCell(std::string(1, static_cast<char>(column + 1)) + r,
                          "<v>" + std::to_string(zone) + "</v>") +
                    fare,
                attrs);
}
std::string XFare(int row, int value, char column = 'C') {
    return XCell(std::string(1, column) + std::to_string(row),
                 "<v>" + std::to_string(value) + "</v>");
}
std::string XlsxSheet(const std::string& rows, const std::string& cols = "") {
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
           cols + "<sheetData>" + rows + "</sheetData></worksheet>";
}

std::string OText(const std::string& text) {
    return "<table:table-cell office:value-type=\"string\"><text:p>" + text +
           "</text:p></table:table-cell>";
}
std::string ONum(int value) {
    return "<table:table-cell office:value-type=\"float\" office:value=\"" + std::to_string(value) +
           "\"/>";
}
std::string ORow(const std::string& cells, const std::string& attrs = "") {
    return "<table:table-row" + attrs + ">" + cells + "</table:table-row>";
}
std::string OStop(const std::string& name, int zone, const std::string& fare,
                  const std::string& attrs = "") {
    return ORow(OText(name) + ONum(zone) + fare, attrs);
}
std::string OSheet(const std::string& name, const std::string& rows,
                   const std::string& columns = "") {
    return "<table:table table:name=\"" + name + "\">" + columns + rows + "</table:table>";
}
const std::string kOEmptyRow = ORow("<table:table-cell/>");

// 駅前 1 150 / 本町 2 160 / 市役所 3 170, as every readable case below converts.
const std::string kTable = test_support::Hy3({{test_support::Cp932("駅前"), 1, {150}},
                                              {test_support::Cp932("本町"), 2, {160}},
                                              {test_support::Cp932("市役所"), 3, {170}}});
const std::string kXStops12 =
    XStop(1, "駅前", 1, XFare(1, 150)) + XStop(2, "本町", 2, XFare(2, 160));
const std::string kOStops12 = OStop("駅前", 1, ONum(150)) + OStop("本町", 2, ONum(160));
const std::string kOldBytes = "the card's old file";

struct Attempt {
    conversion::ConversionOutcome outcome;
    std::string output;
};
Attempt Convert(const std::string& book, const conversion::ConversionOptions& options = {}) {
    test_support::ScratchFolder folder;
    const std::string input = folder.Path("book.xlsx");
    const std::string output = folder.Path("out.hy3");
    test_support::WriteBytes(input, book);
    test_support::WriteBytes(output, kOldBytes);
    Attempt run{conversion::ConvertFareTableWith(input, output, options), {}};
    run.output = test_support::ReadBytes(output);
    return run;
}

// Each refusal names the sheet and the cell, says what the cell shows, and keeps the old file.
TEST(SheetHabits, CellsWithoutANumberAreRefusedInWords) {
    struct Case {
        std::string name;
        std::string book;
        std::string cell;
        std::string explained;
    };
    // The table's third stop, 市役所 in zone 3, with `fare` as its one fare cell (C3).
    auto xlsxWithFare = [](const std::string& fare) {
        return workbook_test::Xlsx(kXStops12 +
                                   XRow(3, XText("A3", "市役所") + XCell("B3", "<v>3</v>") + fare));
    };
    auto odsWithFare = [](const std::string& fare) {
        return workbook_test::Ods(
            OSheet("運賃", kOStops12 + ORow(OText("市役所") + ONum(3) + fare)));
    };
    const Case cases[] = {
        {"XlsxFormulaWithoutResult", xlsxWithFare(XCell("C3", "<f>C2+10</f><v></v>")), "運賃!C3",
         "計算した値がファイルに保存されていません"},
        {"OdsFormulaWithoutResult",
         odsWithFare("<table:table-cell table:formula=\"of:=[.C2]+10\"/>"), "運賃!C3",
         "保存し直して"},
        {"XlsxErrorResult", xlsxWithFare(XCell("C3", "<f>#REF!+1</f><v>#REF!</v>", " t=\"e\"")),
         "運賃!C3", "エラー「#REF!」"},
        {"OdsErrorResult",
         odsWithFare("<table:table-cell table:formula=\"of:=1/0\" office:value-type=\"float\" "
                     "office:value=\"0\" calcext:value-type=\"error\"><text:p>#DIV/0!</text:p>"
                     "</table:table-cell>"),
         "運賃!C3", "エラー「#DIV/0!」"},
        {"XlsxErrorAsPlaceName",
         workbook_test::Xlsx(kXStops12 + XRow(3, XCell("A3", "<v>#N/A</v>", " t=\"e\"") +
                                                     XCell("B3", "<v>3</v>") + XFare(3, 170))),
         "運賃!A3", "エラー「#N/A」"},
        {"XlsxDateInAFare", xlsxWithFare(XCell("C3", "<v>45748</v>", " s=\"1\"")), "運賃!C3",
         "「2025/04/01」"},
        {"OdsDateInAFare",
         odsWithFare(
             "<table:table-cell office:value-type=\"date\" "
             "office:date-value=\"2025-04-01\"><text:p>2025/4/1</text:p></table:table-cell>"),
         "運賃!C3", "「2025/04/01」"},
        {"OdsTimeInAZone",
         workbook_test::Ods(
             OSheet("運賃", kOStops12 + ORow(OText("市役所") +
                                             "<table:table-cell office:value-type=\"time\" "
                                             "office:time-value=\"PT09H30M00S\"/>" +
                                             ONum(170)))),
         "運賃!B3", "「9:30」"},
        {"XlsxTruthValue", xlsxWithFare(XCell("C3", "<v>1</v>", " t=\"b\"")), "運賃!C3",
         "論理値（「TRUE」）"},
    };
    for (const Case& c : cases) {
        const Attempt run = Convert(c.book);
        ASSERT_EQ(run.outcome.kind, Kind::kFailed) << c.name;
        const fare_model::RunError& error = *run.outcome.error;
        EXPECT_EQ(error.code(), 13) << c.name;
        EXPECT_EQ(error.cell(), c.cell) << c.name;
        const std::string explanation = conversion::ExplanationText(error);
        EXPECT_NE(explanation.find(c.explained), std::string::npos)
            << c.name << ": " << explanation;
        EXPECT_NE(explanation.find(c.cell), std::string::npos) << c.name << ": " << explanation;
        EXPECT_EQ(run.output, kOldBytes) << c.name;
    }
}

// What the user may not see in the sheet converts as the spreadsheet's CSV export converts
// it, and is told; --strict withholds it.
TEST(SheetHabits, WhatTheSheetHidesOrPassesOverIsTold) {
    struct Case {
        std::string name;
        std::string book;
        std::vector<std::pair<Notice::Kind, std::string>> notices;  // kind and cell
        std::optional<uint32_t> startRow = std::nullopt;
        std::string bytes = kTable;
    };
    const std::string xStop3 = XStop(3, "市役所", 3, XFare(3, 170));
    const std::string oStop3 = OStop("市役所", 3, ONum(170));
    const std::string xAtB3 = XStop(3, "駅前", 1, XFare(3, 150, 'D'), 'B') +
                              XStop(4, "本町", 2, XFare(4, 160, 'D'), 'B') +
                              XStop(5, "市役所", 3, XFare(5, 170, 'D'), 'B');
    const std::string title =
        XRow(1, XText("A1", "運賃表 2025年4月1日改定")) +
        XRow(2, XText("A2", "停留所") + XText("B2", "ゾーン") + XText("C2", "運賃1"));
    const std::string xMoved = XStop(4, "駅前", 1, XFare(4, 150)) +
                               XStop(5, "本町", 2, XFare(5, 160)) +
                               XStop(6, "市役所", 3, XFare(6, 170));
    const std::string hiddenCol =
        "<table:table-column table:number-columns-repeated=\"2\"/>"
        "<table:table-column table:visibility=\"collapse\"/>";
    const Case cases[] = {
        {"XlsxHiddenRow",
         workbook_test::Xlsx(XStop(1, "駅前", 1, XFare(1, 150)) +
                             XStop(2, "本町", 2, XFare(2, 160), 'A', " hidden=\"1\"") + xStop3),
         {{Notice::Kind::kHiddenRow, "運賃!2:2"}}},
        {"OdsFilteredRow",
         workbook_test::Ods(OSheet(
             "運賃", OStop("駅前", 1, ONum(150)) +
                         OStop("本町", 2, ONum(160), " table:visibility=\"filter\"") + oStop3)),
         {{Notice::Kind::kHiddenRow, "運賃!2:2"}}},
        {"XlsxHiddenColumn",
         workbook_test::Xlsx(
             "", "",
             XlsxSheet(kXStops12 + xStop3, "<cols><col min=\"3\" max=\"4\" hidden=\"1\"/></cols>")),
         {{Notice::Kind::kHiddenColumn, "運賃!C:C"}}},
        {"OdsHiddenColumn",
         workbook_test::Ods(OSheet("運賃", kOStops12 + oStop3, hiddenCol)),
         {{Notice::Kind::kHiddenColumn, "運賃!C:C"}}},
        {"OdsSecondSheetOfThree",
         workbook_test::Ods(OSheet("運賃", kOStops12 + oStop3) + OSheet("メモ", ORow(OText("a"))) +
                            OSheet("旧", "")),
         {{Notice::Kind::kSheetChosen, ""}}},
        {"XlsxTableAtB3",
         workbook_test::Xlsx(xAtB3),
         {{Notice::Kind::kTableStartsLater, "運賃!B3"}}},
        {"OdsTableAtB3",
         workbook_test::Ods(OSheet(
             "運賃", kOEmptyRow + kOEmptyRow +
                         ORow("<table:table-cell/>" + OText("駅前") + ONum(1) + ONum(150)) +
                         ORow("<table:table-cell/>" + OText("本町") + ONum(2) + ONum(160)) +
                         ORow("<table:table-cell/>" + OText("市役所") + ONum(3) + ONum(170)))),
         {{Notice::Kind::kTableStartsLater, "運賃!B3"}}},
        {"XlsxTitleAndHeaderAboveTheStartRow", workbook_test::Xlsx(title + xMoved), {}, 4},
        {"XlsxRowsFarBelow",
         workbook_test::Xlsx(kXStops12 + xStop3 + XRow(100010, XText("A100010", "メモ"))),
         {{Notice::Kind::kRowsAfterBlankLine, ""}}},
    };
    for (const Case& c : cases) {
        for (bool strict : {false, true}) {
            conversion::ConversionOptions options;
            options.startRow = c.startRow;
            options.withholdOnNotices = strict;
            const Attempt run = Convert(c.book, options);
            std::vector<std::pair<Notice::Kind, std::string>> notices;
            for (const Notice& notice : run.outcome.notices) {
                notices.emplace_back(notice.kind, notice.cell);
                EXPECT_FALSE(conversion::NoticeText(notice).empty()) << c.name;
            }
            EXPECT_EQ(notices, c.notices) << c.name;
            const bool withheld = strict && !c.notices.empty();
            EXPECT_EQ(run.outcome.kind, withheld ? Kind::kWithheld : Kind::kSucceeded) << c.name;
            EXPECT_EQ(run.output, withheld ? kOldBytes : c.bytes) << c.name << " strict " << strict;
        }
    }
}

// A date or a truth value in a place-name cell is the name the sheet shows.
TEST(SheetHabits, PlaceNamesAreTheTextTheSheetShows) {
    const Attempt run = Convert(workbook_test::Xlsx(XRow(
        1, XCell("A1", "<v>45748</v>", " s=\"2\"") + XCell("B1", "<v>1</v>") + XFare(1, 150))));
    ASSERT_EQ(run.outcome.kind, Kind::kSucceeded);
    EXPECT_EQ(run.output, test_support::Hy3({{"2025/04/01", 1, {150}}}));
}

}  // namespace

namespace {

std::string Habit(const std::string& name) {
    return test_support::Utf8(std::filesystem::path(WORKBOOK_FIXTURES) / "habits" /
                              test_support::PathFromUtf8(name));
}

Attempt ConvertFile(const std::string& path, const conversion::ConversionOptions& options = {}) {
    return Convert(test_support::ReadBytes(test_support::PathFromUtf8(path)), options);
}

// Workbooks saved by LibreOffice Calc, and written by scripts (openpyxl, odfpy) for formulas
// without results: each habit gives the error or the notice it should, in both formats, and
// a book that converts gives the bytes of the CSV Calc itself exports.
TEST(SheetHabits, WorkbooksSavedBySpreadsheetsAndScripts) {
    struct Case {
        std::string book;
        std::string cell;  // the refused cell, or empty where the book converts
        std::vector<std::pair<Notice::Kind, std::string>> notices = {};
        std::string twin = "";  // the CSV whose conversion it equals
        std::optional<std::string> sheet = std::nullopt;
        std::optional<uint32_t> startRow = std::nullopt;
    };
    const Case cases[] = {
        {"formula-cached", "", {}, "formula-cached.csv"},
        {"formula-no-result", "運賃!C3"},
        {"error-ref", "運賃!C2"},
        {"error-div0", "運賃!D3"},
        {"error-na", "運賃!E2"},
        {"error-value", "運賃!C3"},
        {"error-name", "運賃!D2"},
        {"error-err502", "運賃!E3"},
        {"date-in-fare", "運賃!C3"},
        {"time-in-fare", "運賃!D3"},
        {"bool-in-fare", "運賃!E3"},
        {"date-in-name", "", {}, "date-in-name.csv"},
        {"hidden-row", "", {{Notice::Kind::kHiddenRow, "運賃!3:3"}}, "hidden-row.csv"},
        {"hidden-column", "", {{Notice::Kind::kHiddenColumn, "運賃!D:D"}}, "hidden-column.csv"},
        {"filtered", "", {{Notice::Kind::kHiddenRow, "運賃!4:4"}}, "filtered.csv"},
        {"sheets", "", {}, "sheets-運賃.csv", "運賃"},
        {"sheets", "メモ!B2"},  // the first sheet, notes with a date
        {"title-layout", "", {}, "sheets-運賃.csv", std::nullopt, 4},
        {"table-at-b3", "", {{Notice::Kind::kTableStartsLater, "運賃!B3"}}, "sheets-運賃.csv"},
        {"far-below", "", {{Notice::Kind::kRowsAfterBlankLine, ""}}},
    };
    for (const Case& c : cases) {
        const std::string twin = c.twin.empty() ? "" : ConvertFile(Habit(c.twin)).output;
        for (const char* format : {".xlsx", ".ods"}) {
            const std::string name = c.book + format;
            conversion::ConversionOptions options;
            options.sheet = c.sheet;
            options.startRow = c.startRow;
            const Attempt run = ConvertFile(Habit(name), options);
            if (!c.cell.empty()) {
                ASSERT_EQ(run.outcome.kind, Kind::kFailed) << name;
                EXPECT_EQ(run.outcome.error->code(), 13) << name;
                EXPECT_EQ(run.outcome.error->cell(), c.cell) << name;
                EXPECT_EQ(run.output, kOldBytes) << name;
                continue;
            }
            ASSERT_EQ(run.outcome.kind, Kind::kSucceeded) << name;
            std::vector<std::pair<Notice::Kind, std::string>> notices;
            for (const Notice& notice : run.outcome.notices) {
                notices.emplace_back(notice.kind, notice.cell);
            }
            EXPECT_EQ(notices, c.notices) << name;
            if (!twin.empty()) {
                EXPECT_EQ(run.output, twin) << name;
            }
        }
    }
}

}  // namespace

namespace {

// Names are the book's to choose, at any length and in any number: messages quote them
// shortened, and list the first of them with a count of the others.
TEST(SheetHabits, NamesFromTheBookAreShortenedInMessages) {
    const std::string longName = test_support::Repeat("運", 1 << 20);  // 3 MiB
    const Attempt noticed = Convert(workbook_test::Ods(
        OSheet(longName, ORow(OText("停留所") + OText("ゾーン")) + kOStops12, "") +
        OSheet("b", "")));
    ASSERT_EQ(noticed.outcome.kind, Kind::kSucceeded);
    ASSERT_GE(noticed.outcome.notices.size(), 2u);
    for (const Notice& notice : noticed.outcome.notices) {
        EXPECT_LT(conversion::NoticeText(notice).size() + notice.cell.size(), 4096u);
    }
    EXPECT_NE(conversion::NoticeText(noticed.outcome.notices[0]).find("…（残り 1,048,536 文字）"),
              std::string::npos);

    std::string sheets;
    for (int k = 0; k < 100000; ++k) {
        sheets += OSheet("s" + std::to_string(k), "");
    }
    conversion::ConversionOptions options;
    options.sheet = "nosuch";
    const Attempt missing = Convert(workbook_test::Ods(sheets), options);
    ASSERT_EQ(missing.outcome.kind, Kind::kFailed);
    const std::string explanation = conversion::ExplanationText(*missing.outcome.error);
    EXPECT_LT(explanation.size(), 4096u);
    EXPECT_NE(explanation.find("「s9」ほか 99,990 枚"), std::string::npos) << explanation;
}

}  // namespace
