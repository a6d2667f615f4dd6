#include "conversion/conversion_run.h"
#include "conversion/wording.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "conversion_run_fixture.h"
#include "template/text/template_text.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using conversion::ConversionOutcome;
using conversion::ConvertFareTable;
using conversion_test::ConversionRunTest;
using conversion_test::Describe;
using conversion_test::NamesIn;
using conversion_test::NumberedRows;
using Kind = ConversionOutcome::Kind;
using test_support::Cp932;
using test_support::ExpectedRow;
using test_support::Hex;
using test_support::Hy3;
using test_support::ReadBytes;
using test_support::WriteBytes;

const char* const kBom = "\xEF\xBB\xBF";

std::vector<ExpectedRow> NumberedExpected(int count) {
    std::vector<ExpectedRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"r" + std::to_string(i), i % 100, {}});
    return rows;
}

// The window and the command line rely on an outcome, never an exception.
static_assert(noexcept(ConvertFareTable(std::string(), std::string())));

TEST_F(ConversionRunTest, TemplateConvertsToTheKnownFile) {
    ConversionOutcome outcome = Convert(template_text::TemplateText());
    ASSERT_EQ(outcome.kind, Kind::kSucceeded) << Describe(outcome);
    std::string bytes = ReadBytes(out_);
    EXPECT_EQ(bytes.size(), 2202u);
    EXPECT_EQ(Hex(bytes.substr(0, 10)), "07 00 24 00 82 50 82 51 82 52");
    EXPECT_EQ(Hex(bytes), Hex(Hy3({{Cp932("１２３系統　コンバータのテンプレート"), 1, {140}},
                                   {Cp932("地名１"), 1, {140}},
                                   {Cp932("地名２"), 1, {140}},
                                   {Cp932("地名３"), 2, {150}},
                                   {Cp932("地名４"), 2, {150, 140}},
                                   {Cp932("地名５"), 3, {180, 140}},
                                   {Cp932("地名６"), 4, {200, 150, 140}}})));

    // A spreadsheet's "Unicode text": UTF-16 with a byte order mark, tab-separated.
    std::string tabbed(template_text::TemplateText());
    std::replace(tabbed.begin(), tabbed.end(), ',', '\t');
    ConversionOutcome unicode =
        Convert("\xFF\xFE" + test_support::Recode(tabbed, "UTF-16LE", "CP932"));
    ASSERT_EQ(unicode.kind, Kind::kSucceeded) << Describe(unicode);
    EXPECT_TRUE(unicode.notices.empty());
    EXPECT_EQ(Hex(ReadBytes(out_)), Hex(bytes));
}

// ---------------------------------------------------------------------------------------
// Inputs that convert: line ends, where the table ends, the row limit, the encodings.

struct RunCase {
    std::string label;
    std::string input;
    std::vector<ExpectedRow> rows;
    friend void PrintTo(const RunCase& c, std::ostream* os) { *os << c.label; }
};

class ConversionRunSuccessTest : public ConversionRunTest,
                                 public ::testing::WithParamInterface<RunCase> {};

TEST_P(ConversionRunSuccessTest, WritesTheRows) {
    ConversionOutcome outcome = Convert(GetParam().input);
    ASSERT_EQ(outcome.kind, Kind::kSucceeded) << Describe(outcome);
    std::string expected = Hy3(GetParam().rows);
    std::string actual = ReadBytes(out_);
    if (actual.size() < 4096) {
        EXPECT_EQ(Hex(actual), Hex(expected));
    } else {
        EXPECT_EQ(Hex(actual.substr(0, 2)), Hex(expected.substr(0, 2)));
        EXPECT_TRUE(actual == expected) << "the records differ";
    }
}

const std::string kHostileSpaces(200000, ' ');

INSTANTIATE_TEST_SUITE_P(
    Cases, ConversionRunSuccessTest,
    ::testing::Values(
        RunCase{"CrLf", "a,1,2\r\nb,3\r\n", {{"a", 1, {2}}, {"b", 3, {}}}},
        RunCase{"Lf", "a,1,2\nb,3\n", {{"a", 1, {2}}, {"b", 3, {}}}},
        RunCase{"Cr", "a,1,2\rb,3", {{"a", 1, {2}}, {"b", 3, {}}}},
        RunCase{"MixedEnds",
                "a,1\r\nb,2\nc,3\rd,4",
                {{"a", 1, {}}, {"b", 2, {}}, {"c", 3, {}}, {"d", 4, {}}}},
        RunCase{"BlankLineEndsTable", "a,1\n\nb,2\n", {{"a", 1, {}}}},
        RunCase{"CrCrIsABlankLine", "a,1\r\rb,2", {{"a", 1, {}}}},
        RunCase{"SpacesLineEndsTable", "a,1\r\n   \r\nb,2\r\n", {{"a", 1, {}}}},
        RunCase{"IdeographicSpaceLineEndsTable", "a,1\r\n\x81\x40 \r\nb,2", {{"a", 1, {}}}},
        RunCase{"TabLineIsARow", "\t\r\nb,2", {{"", 0, {}}, {"b", 2, {}}}},
        RunCase{"SingleComma", ",", {{"", 0, {}}}},
        RunCase{"TrailingSpacesKept", Cp932("  地名  ,1,-1\r\n"), {{Cp932("地名  "), 1, {-1}}}},
        RunCase{
            "HalfWidthKatakanaThatLooksLikeUtf8", "\xC3\xBD,1,140\r\n", {{"\xC3\xBD", 1, {140}}}},
        // ﾎｼ is also UTF-8 for μ, which code page 932 can write: two-byte UTF-8 is no sign.
        RunCase{
            "HalfWidthKatakanaThatIsUtf8ForGreek", "\xCE\xBC,1,140\r\n", {{"\xCE\xBC", 1, {140}}}},
        RunCase{"TwoByteUtf8WithKanjiIsUtf8",
                "μ,1\r\n地名,2\r\n",
                {{"\x83\xCA", 1, {}}, {Cp932("地名"), 2, {}}}},
        // Only the table's own lines decide, not what follows the blank line.
        RunCase{"Utf8AfterTheBlankLineDoesNotDecide",
                "\xD0\xB6,1\r\n\r\n地名,2\r\n",
                {{"\xD0\xB6", 1, {}}}},
        RunCase{"Utf8WithBom", std::string(kBom) + "  地名,1,140\n", {{Cp932("地名"), 1, {140}}}},
        // 」 is 0D 30 in UTF-16 LE: the line ends are found after decoding.
        RunCase{"Utf16BigEndianWithBom",
                "\xFE\xFF" + test_support::Recode("「地名」,1,140\r\nb,2\r\n", "UTF-16BE", "UTF-8"),
                {{Cp932("「地名」"), 1, {140}}, {"b", 2, {}}}},
        RunCase{"Utf16LittleEndianWithBom",
                "\xFF\xFE" + test_support::Recode("「地名」,1,140\n", "UTF-16LE", "UTF-8"),
                {{Cp932("「地名」"), 1, {140}}}},
        RunCase{"Utf8WithoutBom",
                "地名,1,140\n①～〜髙,２,１５０\n",
                {{Cp932("地名"), 1, {140}}, {"\x87\x40\x81\x60\x81\x60\xFB\xFC", 2, {150}}}},
        // The whole table decides, not its first line or first block.
        RunCase{"Utf8AfterLongAsciiLine",
                "a,1," + kHostileSpaces + "5\n地名,2\n",
                {{"a", 1, {5}}, {Cp932("地名"), 2, {}}}},
        RunCase{"Cp932AfterLongAsciiLine",
                "a,1," + kHostileSpaces + "5\n" + Cp932("地名,2\n"),
                {{"a", 1, {5}}, {Cp932("地名"), 2, {}}}},
        RunCase{"Rows301", NumberedRows(301), NumberedExpected(301)},
        RunCase{"Rows302", NumberedRows(302), NumberedExpected(301)},
        RunCase{"Rows500", NumberedRows(500), NumberedExpected(301)},
        // Row 302 is never parsed, so its overflow does not matter.
        RunCase{"BadRowAfter301", NumberedRows(301) + "x,99999\r\n", NumberedExpected(301)},
        RunCase{"Rows32767", NumberedRows(32767), NumberedExpected(301)},
        RunCase{"BlankLineBeforeTheCountLimit", NumberedRows(99) + "\r\n" + NumberedRows(40000),
                NumberedExpected(99)}),
    [](const auto& info) { return info.param.label; });

// Every pair of half-width katakana that also reads as valid two-byte UTF-8 keeps its bytes.
TEST_F(ConversionRunTest, HalfWidthKatakanaPairsStayCodePage932) {
    for (int lead = 0xC2; lead <= 0xDF; ++lead) {
        for (int trail = 0xA1; trail <= 0xBF; ++trail) {
            const std::string name{static_cast<char>(lead), static_cast<char>(trail)};
            ConversionOutcome outcome = Convert(name + ",1,140\r\n");
            ASSERT_EQ(outcome.kind, Kind::kSucceeded) << Hex(name) << " " << Describe(outcome);
            ASSERT_EQ(Hex(ReadBytes(out_)), Hex(Hy3({{name, 1, {140}}}))) << Hex(name);
        }
    }
}

// A file cut short between the two readings no longer holds the table that was counted.
TEST_F(ConversionRunTest, InputThatShrinksBetweenTheReadingsFails) {
    const std::string table = NumberedRows(10);  // half of it ends inside row 6
    struct ShrinkCase {
        const char* label;
        off_t length;
        int line;
    };
    for (const ShrinkCase& c :
         {ShrinkCase{"ToHalf", static_cast<off_t>(table.size() / 2), 7},
          ShrinkCase{"ToAPartialFirstRow", 3, 2}, ShrinkCase{"ToNothing", 0, 1}}) {
        WriteBytes(in_, table);
        WriteBytes(out_, "OLD");
        conversion::ConversionOptions options;
        options.betweenReadings = [&] { ASSERT_EQ(truncate(in_.c_str(), c.length), 0); };
        ConversionOutcome outcome = conversion::ConvertFareTableWith(in_, out_, options);
        ASSERT_EQ(outcome.kind, Kind::kFailed) << c.label << ": " << Describe(outcome);
        EXPECT_EQ(outcome.error->code(), 9) << c.label;
        EXPECT_EQ(outcome.error->line(), c.line) << c.label;
        EXPECT_EQ(ReadBytes(out_), "OLD") << c.label;
        EXPECT_EQ(folder_.Names(), (std::set<std::string>{"in.txt", "out.hy3"})) << c.label;
    }
}

TEST_F(ConversionRunTest, ReplacedOutputKeepsItsPermissionBits) {
    WriteBytes(out_, "OLD");
    ASSERT_EQ(chmod(out_.c_str(), 0640), 0);
    ASSERT_EQ(Convert("a,1").kind, Kind::kSucceeded);
    EXPECT_EQ(test_support::PermissionBits(out_), 0640u);
    EXPECT_EQ(ReadBytes(out_).size(), 307u);
}

TEST_F(ConversionRunTest, OutputThroughASymlinkReplacesTheFileNotTheLink) {
    fs::create_directory(folder_.Path("real"));
    const std::string target = folder_.Path("real/table.hy3");
    WriteBytes(target, "OLD");
    fs::create_symlink(target, out_);
    ASSERT_EQ(Convert("a,1").kind, Kind::kSucceeded);
    EXPECT_TRUE(fs::is_symlink(out_));
    EXPECT_EQ(ReadBytes(target).size(), 307u);
    EXPECT_EQ(NamesIn(folder_.Path("real")), (std::set<std::string>{"table.hy3"}));
}

TEST_F(ConversionRunTest, NewOutputGetsTheUsualPermissionBits) {
    mode_t previous = umask(022);
    ConversionOutcome outcome = Convert("a,1");
    umask(previous);
    ASSERT_EQ(outcome.kind, Kind::kSucceeded);
    EXPECT_EQ(test_support::PermissionBits(out_), 0644u);
}

// ---------------------------------------------------------------------------------------
// Inputs with nothing to convert leave the output path alone.

class NothingToConvertTest : public ConversionRunTest,
                             public ::testing::WithParamInterface<std::string> {};

TEST_P(NothingToConvertTest, LeavesTheOutputAlone) {
    ConversionOutcome outcome = Convert(GetParam());
    EXPECT_EQ(outcome.kind, Kind::kNothingToConvert) << Describe(outcome);
    EXPECT_FALSE(conversion::OutcomeText(outcome).has_value());
    EXPECT_FALSE(test_support::Exists(out_));

    WriteBytes(out_, "OLD");
    EXPECT_EQ(Convert(GetParam()).kind, Kind::kNothingToConvert);
    EXPECT_EQ(ReadBytes(out_), "OLD");
    EXPECT_EQ(folder_.Names(), (std::set<std::string>{"in.txt", "out.hy3"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, NothingToConvertTest,
                         ::testing::Values("", "\r\n", "\n", "\r", "   \r\nabc,1\r\n",
                                           "\x81\x40\r\nabc,1", std::string(kBom),
                                           std::string(kBom) + "\n abc,1",
                                           std::string(kBom) + "　\nabc,1"));

// ---------------------------------------------------------------------------------------
// Failures: the code, the line, and the output path exactly as it was.

struct FailureCase {
    std::string label;
    std::string input;
    int code;
    std::string description;
    std::optional<int> line;  // unset: the line is not checked
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.label; }
};

class ConversionRunFailureTest : public ConversionRunTest,
                                 public ::testing::WithParamInterface<FailureCase> {
  protected:
    void ExpectFailure(const ConversionOutcome& outcome) {
        const FailureCase& c = GetParam();
        ASSERT_EQ(outcome.kind, Kind::kFailed) << Describe(outcome);
        EXPECT_EQ(outcome.error->code(), c.code);
        EXPECT_EQ(conversion::DescriptionText(*outcome.error), c.description);
        if (c.line) {
            EXPECT_EQ(outcome.error->line(), c.line);
        }
    }
};

TEST_P(ConversionRunFailureTest, FailsAndKeepsThePreviousOutput) {
    ExpectFailure(Convert(GetParam().input));
    EXPECT_FALSE(test_support::Exists(out_));
    EXPECT_EQ(folder_.Names(), (std::set<std::string>{"in.txt"}));

    const std::string previous(template_text::TemplateText());
    WriteBytes(out_, previous);
    ExpectFailure(Convert(GetParam().input));
    EXPECT_EQ(ReadBytes(out_), previous);
    EXPECT_EQ(folder_.Names(), (std::set<std::string>{"in.txt", "out.hy3"}));
}

const std::string kOverflow = "オーバーフローしました。";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConversionRunFailureTest,
    ::testing::Values(
        FailureCase{"Overflow", "a,1\r\nb,99999\r\nc,1\r\n", 6, kOverflow, 2},
        FailureCase{"OverflowOnLfLine", "a,1\nb,2\nc,1,40000\n", 6, kOverflow, 3},
        FailureCase{"TooManyFields", "a,1\r\nb,2\r\nc" + std::string(152, ',') + "\r\n", 9,
                    "インデックスが有効範囲にありません。", 3},
        FailureCase{"NotShiftJis", "a,1\r\n\x85\x40,1\r\n", 5,
                    "入力ファイルに Shift-JIS として読めないバイト列があります。", 2},
        FailureCase{"TruncatedShiftJis", "a,1\r\nb\x81", 5,
                    "入力ファイルに Shift-JIS として読めないバイト列があります。", 2},
        FailureCase{"NotUtf8AfterTheMark", std::string(kBom) + "a,1\n\xFF,2\n", 5,
                    "入力ファイルに UTF-8 として読めないバイト列があります。", 2},
        FailureCase{"NameWithoutShiftJisForm", std::string(kBom) + "a,1\n한,2\n", 5,
                    "地名に Shift-JIS で表せない文字があります。", 2},
        FailureCase{"NameWithoutShiftJisFormAndNoBom", "地名,1\n한,2\n", 5,
                    "地名に Shift-JIS で表せない文字があります。", 2},
        FailureCase{"Utf16CutShort",
                    "\xFF\xFE"
                    "a\0,\0"
                    "1\0\n",
                    5, "入力ファイルに UTF-16 として読めないバイト列があります。", 1},
        FailureCase{"NameOver65535Bytes", "a,1\nb,2\n" + std::string(70000, 'x') + ",1\n", 6,
                    kOverflow, 3},
        FailureCase{"MoreThan32767Rows", NumberedRows(32768), 6, kOverflow, std::nullopt}),
    [](const auto& info) { return info.param.label; });

// ---------------------------------------------------------------------------------------
// Paths that cannot be used.

TEST(OutcomeText, SaysWhatHappened) {
    EXPECT_EQ(conversion::OutcomeText(ConversionOutcome::Succeeded()),
              "正常にコンバートされました。\r\n運賃表示器を動かして表示テストを行ってください。");
    EXPECT_EQ(conversion::OutcomeText(ConversionOutcome::Failed(fare_model::RunError(53))),
              "53:ファイルが見つかりません。\r\nファイルを点検してください。");
    // The line number is shown elsewhere; the text stays as users know it.
    EXPECT_EQ(conversion::OutcomeText(ConversionOutcome::Failed(fare_model::RunError(6, 12))),
              "6:オーバーフローしました。\r\nファイルを点検してください。");
    EXPECT_EQ(conversion::OutcomeText(ConversionOutcome::Failed(
                  fare_model::RunError(5, fare_model::Reason::kNameNotWritable, 3))),
              "5:地名に Shift-JIS で表せない文字があります。\r\nファイルを点検してください。");
    EXPECT_FALSE(conversion::OutcomeText(ConversionOutcome::NothingToConvert()).has_value());
}

}  // namespace
