#include "fare_model/fare_data_reader.h"
#include "conversion/failure_wording.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "conversion/conversion_run.h"
#include "conversion/formats/text/fare_table_text.h"
#include "fare_model/run_error.h"
#include "fare_records.h"
#include "platform/os/code_page.h"
#include "system_cp932.h"
#include "template/text/template_text.h"
#include "test_support.h"

namespace {

using fare_model::FareLineRecord;
using test_support::Cp932;
using test_support::Hy3;

using test_support::Record;

std::string Le16(int value) {
    std::string bytes;
    test_support::AppendLe16(bytes, value);
    return bytes;
}

std::string Bytes(std::string_view text) {
    return std::string(text);
}

TEST(ReadFareDataFile, NamesEachLayoutFaultAndItsRecord) {
    const std::string one = Hy3({{"A", 1, {140}}});
    const std::string two = Hy3({{"A", 1, {140}}, {"B", 2, {150}}});
    std::string countTwoOneRecord = one;
    countTwoOneRecord[0] = 2;
    struct Case {
        const char* what;
        std::string bytes;
        int code;
        std::optional<int> line;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"empty", "", 62, std::nullopt, "ファイルが短すぎます（2バイトの件数がありません）。"},
        {"one byte", Bytes("\x01"), 62, std::nullopt,
         "ファイルが短すぎます（2バイトの件数がありません）。"},
        {"negative count", Le16(-1) + one.substr(2), 6, std::nullopt, "件数が負の値です（-1）。"},
        {"count above the records", countTwoOneRecord, 62, 2,
         "ファイルにこれ以上データがありません（2行目の地名のバイト数の途中でファイルが終わって"
         "います）。"},
        {"count below the records", Le16(1) + two.substr(2), 9, 2,
         "最後の行（件数 1）のあとに余分なデータが 305 バイトあります。"},
        {"one stray byte", one + "X", 9, 2,
         "最後の行（件数 1）のあとに余分なデータが 1 バイトあります。"},
        {"length past the end", Le16(1) + Le16(400) + std::string(300, '\0'), 62, 1,
         "ファイルにこれ以上データがありません（1行目の地名のバイト数 400 が残りのバイト数 300 "
         "を超えています）。"},
        {"fares cut short", one.substr(0, one.size() - 1), 62, 1,
         "ファイルにこれ以上データがありません（1行目のゾーン番号と運賃の途中でファイルが終わって"
         "います）。"},
        {"lone lead byte", Hy3({{"A", 1, {}}, {"\x82", 1, {}}}), 5, 2,
         "地名に Shift-JIS として読めないバイト列があります。"},
        {"unmapped byte", Hy3({{"\xA0", 1, {}}}), 5, 1,
         "地名に Shift-JIS として読めないバイト列があります。"},
        // NEC-selected IBM extension 0xED40 is the same character as 0xFA5C, which the writer
        // gives.
        {"second form of a character", Hy3({{"\xED\x40", 1, {}}}), 5, 1,
         "地名に Shift-JIS の標準と異なる形の文字があります（書き戻すと別のバイトになります）。"},
        // A declared count of 32767 over a short file is refused without reserving for it.
        {"huge count", Le16(32767) + one.substr(2), 62, 2,
         "ファイルにこれ以上データがありません（2行目の地名のバイト数の途中でファイルが終わって"
         "います）。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            fare_model::ReadFareDataFile(c.bytes, test_support::SystemCp932());
            ADD_FAILURE() << "read without failing";
        } catch (const fare_model::RunError& error) {
            EXPECT_EQ(error.code(), c.code);
            EXPECT_EQ(error.line(), c.line);
            EXPECT_EQ(conversion::DescriptionText(error), c.description);
        }
    }
    EXPECT_TRUE(fare_model::ReadFareDataFile(Le16(0), test_support::SystemCp932()).empty());
}

// Records → text → converter → .hy3 → reader gives the records again, and the .hy3 is what
// the layout says.
class FareTableRoundTrip : public ::testing::Test {
  protected:
    std::string Convert(std::string_view text) {
        test_support::WriteBytes(input_, text);
        conversion::ConversionOutcome outcome = conversion::ConvertFareTable(input_, output_);
        EXPECT_EQ(outcome.kind, conversion::ConversionOutcome::Kind::kSucceeded)
            << (outcome.error ? outcome.error->what() : "");
        return test_support::ReadBytes(output_);
    }

    test_support::ScratchFolder folder_;
    std::string input_ = folder_.Path("table.txt");
    std::string output_ = folder_.Path("table.hy3");
};

TEST_F(FareTableRoundTrip, TemplateComesBackByteForByte) {
    std::string hy3 = Convert(template_text::TemplateText());
    ASSERT_EQ(hy3.size(), 2202u);
    std::vector<FareLineRecord> records =
        fare_model::ReadFareDataFile(hy3, test_support::SystemCp932());
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[6], Record(U"地名６", 4, {200, 150, 140}));
    EXPECT_EQ(conversion::FareTableText(records), template_text::TemplateText());
}

TEST_F(FareTableRoundTrip, TrickyRecordsComeBackTheSame) {
    FareLineRecord lastFareOnly = Record(U"ﾊﾞｽ停", -32768);
    lastFareOnly.Fares[149] = 32767;
    const std::vector<FareLineRecord> records = {
        Record(U"", 0),                         // writes ",0"
        Record(U"地名  ", 1, {0, -1}),          // trailing spaces and a zero before a fare stay
        Record(U"停留所　前", 2, {150, 0, 0}),  // an inner ideographic space stays
        Record(U"①Ⅹ～￥", 3, {1}),              // NEC specials, full-width tilde and yen sign
        Record(U"\uE000", 4),                   // user-defined area
        lastFareOnly,
    };
    std::string text = conversion::FareTableText(records);
    EXPECT_TRUE(text.starts_with(",0\r\n" + Cp932("地名  ") + ",1,0,-1\r\n"));
    std::string hy3 = Convert(text);
    std::vector<test_support::ExpectedRow> rows;
    for (const FareLineRecord& record : records) {
        rows.push_back({Cp932(fare_model::EncodeUtf8(record.PlaceName)), record.ZoneNumber,
                        std::vector<int>(record.Fares.begin(), record.Fares.end())});
    }
    EXPECT_EQ(test_support::Hex(hy3), test_support::Hex(Hy3(rows)));
    EXPECT_EQ(fare_model::ReadFareDataFile(hy3, test_support::SystemCp932()), records);
}

// Valid two-byte UTF-8 alone is no sign of it, so a table of half-width kana is written: the
// converter reads ﾎｼ (CE BC) and ﾐｶ (D0 B6) as code page 932.
TEST_F(FareTableRoundTrip, HalfWidthKanaThatIsAlsoTwoByteUtf8) {
    const std::vector<FareLineRecord> records = {Record(U"ﾎｼ", 1, {140}), Record(U"ﾐｶ", 2)};
    EXPECT_EQ(fare_model::ReadFareDataFile(Convert(conversion::FareTableText(records)),
                                           test_support::SystemCp932()),
              records);
}

TEST(FareTableText, RefusesWhatWouldConvertDifferently) {
    struct Case {
        const char* what;
        std::vector<FareLineRecord> records;
        int code;
        std::optional<int> line;
    };
    const std::vector<Case> cases = {
        {"no records", {}, 5, std::nullopt},
        {"302 records", std::vector<FareLineRecord>(302, Record(U"A", 1)), 9, 302},
        {"comma", {Record(U"A", 1), Record(U"A,B", 1)}, 5, 2},
        {"full-width comma", {Record(U"A，B", 1)}, 5, 1},
        {"tab", {Record(U"A\tB", 1)}, 5, 1},
        {"double quote", {Record(U"\"A\"", 1)}, 5, 1},
        {"carriage return", {Record(U"A\rB", 1)}, 5, 1},
        {"line feed", {Record(U"A\nB", 1)}, 5, 1},
        {"leading space", {Record(U" A", 1)}, 5, 1},
        {"leading ideographic space", {Record(U"\u3000A", 1)}, 5, 1},
        {"only spaces", {Record(U"  ", 0)}, 5, 1},
        {"not in code page 932", {Record(U"😀", 1)}, 5, 1},
        // Code page 932 E8 80 A1 is also the UTF-8 of 耡, which code page 932 can write.
        {"taken for UTF-8", {Record(U"A", 1), Record(U"閠｡", 1)}, 5, 2},
        // The converter reads a file that starts as a zip does as a workbook.
        {"taken for a workbook", {Record(U"PK\x03\x04", 1)}, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            conversion::FareTableText(c.records);
            ADD_FAILURE() << "written without failing";
        } catch (const fare_model::RunError& error) {
            EXPECT_EQ(error.code(), c.code);
            EXPECT_EQ(error.line(), c.line);
            EXPECT_FALSE(conversion::DescriptionText(error).empty());
        }
    }
    // 301 records are the display unit's limit, and fine; so is the UTF-8 lookalike once
    // another name makes the table invalid as UTF-8.
    EXPECT_NO_THROW(conversion::FareTableText(std::vector<FareLineRecord>(301, Record(U"A", 1))));
    const std::vector<FareLineRecord> notUtf8 = {Record(U"閠｡", 1), Record(U"地名", 1)};
    EXPECT_NO_THROW(conversion::FareTableText(notUtf8));
}

}  // namespace
