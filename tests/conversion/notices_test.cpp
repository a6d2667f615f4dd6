// What a table loses or misreads on the way is told, and the bytes written stay those of the
// display unit's rules.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "conversion/conversion_run.h"
#include "conversion/wording.h"
#include "test_support.h"

namespace conversion {
void PrintTo(const Notice& notice, std::ostream* os) {
    *os << conversion::NoticeText(notice) << " [field " << notice.field.value_or(0) << "]";
}
}  // namespace conversion

namespace {

using fare_model::Notice;
using Kind = Notice::Kind;

struct NoticeCase {
    std::string label;
    std::string table;  // UTF-8, written in code page 932
    std::vector<Notice> notices;
    friend void PrintTo(const NoticeCase& c, std::ostream* os) { *os << c.label; }
};

std::string Rows(int count) {
    std::string rows;
    for (int row = 1; row <= count; ++row) {
        rows += "r" + std::to_string(row) + ",1,140\r\n";
    }
    return rows;
}

class NoticesTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(NoticesTest, AreToldWithTheirLineAndFieldAndChangeNoByte) {
    test_support::ScratchFolder folder;
    const std::string input = folder.Path("in.txt"), output = folder.Path("out.hy3");
    test_support::WriteBytes(input, test_support::Cp932(GetParam().table));
    conversion::ConversionOutcome outcome = conversion::ConvertFareTable(input, output);
    ASSERT_EQ(outcome.kind, conversion::ConversionOutcome::Kind::kSucceeded);
    EXPECT_EQ(outcome.notices, GetParam().notices);
    for (const Notice& notice : outcome.notices) {
        EXPECT_FALSE(conversion::NoticeText(notice).empty());
    }

    // Withholding changes nothing but whether the file is written.
    const std::string written = test_support::ReadBytes(output);
    test_support::WriteBytes(output, "OLD");
    conversion::ConversionOptions strict;
    strict.withholdOnNotices = true;
    conversion::ConversionOutcome withheld =
        conversion::ConvertFareTableWith(input, output, strict);
    EXPECT_EQ(withheld.notices, GetParam().notices);
    EXPECT_EQ(test_support::ReadBytes(output), GetParam().notices.empty() ? written : "OLD");
}

Notice At(Kind kind, int line, std::optional<int> field, std::string text, int value, int count = 1,
          std::vector<int> parts = {}) {
    return {kind, line, field, std::move(text), value, count, std::move(parts)};
}

// What a spreadsheet's export or a damaged file leaves in a table.
Notice AtRow(Kind kind, int line, std::optional<int> field = std::nullopt, std::string text = "",
             int value = 0) {
    return At(kind, line, field, std::move(text), value);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, NoticesTest,
    ::testing::Values(
        NoticeCase{"RowsBeyondTheLimit",
                   Rows(500),
                   {At(Kind::kRowsBeyondLimit, 302, std::nullopt, "", 0, 199)}},
        NoticeCase{"RowsAfterABlankLine",
                   "a,1,100\r\n \r\nb,1\r\n\r\nc,2\r\n",
                   {At(Kind::kRowsAfterBlankLine, 2, std::nullopt, "", 0, 2)}},
        NoticeCase{"QuotesThatHeldASeparator",
                   "a,1,\"1,200\",300\r\n",
                   {At(Kind::kQuotedSeparator, 1, 3, "\"1,200\"", 0, 2, {1, 200})}},
        NoticeCase{"TextInCells",
                   "a,abc,-,1O0,150円,\\150\r\n",
                   {At(Kind::kTextInNumber, 1, 2, "abc", 0, 4)}},
        NoticeCase{"AHeaderRow",
                   "地名,ゾーン,運賃1,運賃2\r\nb,1,140\r\n",
                   {AtRow(Kind::kHeaderRow, 1, 1, "地名")}},
        NoticeCase{"AnEmptySpreadsheetRow",
                   "a,1,140\r\n,,,,\r\n\t \t\r\nb,1,150\r\n",
                   {AtRow(Kind::kEmptyRow, 2), AtRow(Kind::kEmptyRow, 3)}},
        NoticeCase{"QuotesInTheZoneAndOnTheLastFare",
                   "a,\"1,2\",3\r\nb,1,\"1,0,70\r\n",
                   {At(Kind::kQuotedSeparator, 1, 2, "\"1,2\"", 0, 2, {1, 2}),
                    At(Kind::kQuotedSeparator, 2, 3, "\"1,0,70", 0, 3, {1, 0, 70})}},
        NoticeCase{
            "NamesThatLostTheirLetters",
            "???,1,140\r\n??1,1,150\r\nどこ?,1,160\r\n",
            {AtRow(Kind::kLostLetters, 1, 1, "???"), AtRow(Kind::kLostLetters, 2, 1, "??1")}},
        NoticeCase{"ControlCharacters",
                   "a\0b,1,140\r\nc,1,1\x01"
                   "50\r\n\x1A"s,
                   {AtRow(Kind::kControlCharacter, 1, 1, "", 0),
                    AtRow(Kind::kControlCharacter, 2, 3, "", 1),
                    At(Kind::kTextInNumber, 2, 3,
                       "1\x01"
                       "50",
                       1),
                    AtRow(Kind::kEndOfFileMark, 3)}},
        NoticeCase{"AZeroFilledTail",
                   "a,1,140\r\n"s + std::string(512, '\0'),
                   {AtRow(Kind::kZeroFilledTail, 2)}},
        NoticeCase{
            "AnEndOfFileMarkPastTheLimit", Rows(301) + "\x1A", {AtRow(Kind::kEndOfFileMark, 302)}},
        NoticeCase{"AFraction", "a,1,140\r\nb,1,1.5,2.0\r\n", {At(Kind::kRounded, 2, 3, "1.5", 2)}},
        NoticeCase{"NothingToTell", "a,1,,  ,\"150\",１４０,1 4 0,&H10,-5\r\n", {}}),
    [](const auto& info) { return info.param.label; });

TEST(FailureDetails, NameTheFieldAndSayWhyInPlainWords) {
    test_support::ScratchFolder folder;
    struct Case {
        std::string table;
        int code, line;
        std::optional<int> field;
        std::string explanationPart;
    };
    using test_support::Cp932;
    for (const Case& c : {Case{Cp932("a,1,140\r\nb,1,100,40000\r\n"), 6, 2, 4, "「40000」"},
                          Case{"a,1" + test_support::Repeat(",1", 151) + "\r\n", 9, 1, 153,
                               "運賃が150個を超えています"},
                          Case{"a,1\r\n\x82\xFF,1\r\n", 5, 2, std::nullopt, "82 FF"},
                          Case{"地名,1\n𠮷野家,2\n", 5, 2, 1, "「𠮷」(U+20BB7)"},
                          Case{test_support::Recode("a,1,140\r\nb,2\r\n", "UTF-16LE", "UTF-8"), 5,
                               1, std::nullopt, "BOM 付き"}}) {
        test_support::WriteBytes(folder.Path("in.txt"), c.table);
        conversion::ConversionOutcome outcome =
            conversion::ConvertFareTable(folder.Path("in.txt"), folder.Path("out.hy3"));
        ASSERT_TRUE(outcome.error) << c.table;
        EXPECT_EQ(outcome.error->code(), c.code);
        ASSERT_TRUE(outcome.file);
        EXPECT_EQ(outcome.file->role, conversion::ConcernedFile::Role::kInput);
        EXPECT_EQ(outcome.error->line(), c.line);
        EXPECT_EQ(outcome.error->field(), c.field);
        EXPECT_NE(conversion::ExplanationText(*outcome.error).find(c.explanationPart),
                  std::string::npos)
            << conversion::ExplanationText(*outcome.error);
    }
    conversion::ConversionOutcome missing =
        conversion::ConvertFareTable(folder.Path("none.txt"), folder.Path("out.hy3"));
    EXPECT_EQ(conversion::ExplanationText(*missing.error), "変換元（入力ファイル）のエラーです。");
}

}  // namespace
