// The field reader fed cell by cell, as a source that already has its fields feeds it.
#include "fare_model/field_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fare_model/fare_line_parser.h"
#include "platform/os/code_page.h"

namespace {

using fare_model::FareFieldReader;
using fare_model::FareLineRecord;
using fare_model::FieldCell;
using Kind = FieldCell::Kind;

FieldCell Text(std::u32string_view text) {
    return {Kind::kText, text, 0};
}
FieldCell Number(double number) {
    return {Kind::kNumber, {}, number};
}
FieldCell Empty() {
    return {};
}

struct CellCase {
    std::string label;
    std::vector<FieldCell> cells;
    // Expected: the record as the text line `sameAsLine` gives it, or a failure's code and field.
    std::u32string sameAsLine{};
    std::vector<std::string> notices{};  // "field:text:value" of each notice
    int code = 0;
    int field = 0;
};

class FieldReaderCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(FieldReaderCellTest, ReadsEachCellAsItsLineWouldBeRead) {
    const CellCase& c = GetParam();
    FareFieldReader reader;
    try {
        for (const FieldCell& cell : c.cells) {
            reader.AddCell(cell);
        }
    } catch (const fare_model::RunError& error) {
        EXPECT_EQ(error.code(), c.code);
        EXPECT_EQ(error.field(), c.field);
        return;
    }
    ASSERT_EQ(c.code, 0) << "no failure";
    FareLineRecord record = reader.Finish();
    EXPECT_EQ(record, fare_model::ParseFareLine(c.sameAsLine));
    std::vector<std::string> notices;
    for (const fare_model::Notice& notice : reader.TakeNotices()) {
        notices.push_back(std::to_string(notice.field.value_or(0)) + ":" + notice.text + ":" +
                          std::to_string(notice.value));
    }
    EXPECT_EQ(notices, c.notices);
}

std::vector<FieldCell> ManyCells(size_t count) {
    std::vector<FieldCell> cells(count, Number(1));
    cells[0] = Text(U"名");
    return cells;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, FieldReaderCellTest,
    ::testing::Values(
        CellCase{"TextCells", {Text(U"  地名１"), Text(U"1"), Text(U"140")}, U"地名１,1,140"},
        CellCase{"NumberCells", {Text(U"名"), Number(2), Number(150)}, U"名,2,150"},
        CellCase{"EmptyCellsReadAsZero", {Text(U"名"), Empty(), Number(200)}, U"名,,200"},
        CellCase{"NumberRoundsHalfToEven",
                 {Text(U"名"), Number(2.5), Number(3.5)},
                 U"名,2,4",
                 {"2:2.5:2"}},
        CellCase{"NumberAsPlaceName", {Number(12), Number(1)}, U"12,1"},
        // In a cell a comma is data: the text reads as its leading number, with a notice.
        CellCase{"CommaInATextCell",
                 {Text(U"名"), Text(U"1"), Text(U"1,200")},
                 U"名,1,1",
                 {"3:1,200:1"}},
        CellCase{"TextWithAMark", {Text(U"名"), Text(U"1"), Text(U"150円")}, U"名,1,150"},
        // A place name takes a date or a truth value as shown; a number never does, and a
        // formula's error or missing result is no value anywhere.
        CellCase{"DateAsPlaceName", {FieldCell{Kind::kDate, U"2025/04/01", 0}}, U"2025/04/01"},
        CellCase{"BooleanAsPlaceName", {FieldCell{Kind::kBoolean, U"TRUE", 0}}, U"TRUE"},
        CellCase{"DateAsFare",
                 {Text(U"名"), Number(1), FieldCell{Kind::kDate, U"2025/04/01", 0}},
                 U"",
                 {},
                 13,
                 3},
        CellCase{
            "BooleanAsZone", {Text(U"名"), FieldCell{Kind::kBoolean, U"TRUE", 0}}, U"", {}, 13, 2},
        CellCase{"ErrorAsPlaceName", {FieldCell{Kind::kError, U"#REF!", 0}}, U"", {}, 13, 1},
        CellCase{"FormulaWithoutResult",
                 {Text(U"名"), Number(1), FieldCell{Kind::kNoResult, U"", 0}},
                 U"",
                 {},
                 13,
                 3},
        CellCase{"ExactlyHundredFiftyTwoCells", ManyCells(152),
                 U"名" +
                     [] {
                         std::u32string tail;
                         for (int i = 0; i < 151; ++i) {
                             tail += U",1";
                         }
                         return tail;
                     }()},
        CellCase{"NumberTooLarge", {Text(U"名"), Number(1), Number(40000)}, U"", {}, 6, 3},
        CellCase{"HugeNumber", {Text(U"名"), Number(1e20)}, U"", {}, 6, 2},
        // Text is read again after every character: a leading part that does not fit fails.
        CellCase{"TextWhoseLeadingPartOverflows", {Text(U"名"), Text(U"99999E-3")}, U"", {}, 6, 2},
        CellCase{"CellBeyondTheLastFare", ManyCells(153), U"", {}, 9, 153}),
    [](const auto& info) { return info.param.label; });

}  // namespace
