#include "conversion/formats/text/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fare_model/text_rules.h"
#include "platform/os/code_page.h"
#include "test_support.h"

namespace {

using conversion::TableLineReader;
using platform::TextEncoding;
using test_support::Repeat;
using test_support::WriteBytes;

std::vector<std::string> AllLines(TableLineReader& reader) {
    std::vector<std::string> lines;
    while (!reader.AtEnd())
        lines.push_back(fare_model::EncodeUtf8(reader.ReadLineCP932()));
    return lines;
}

// ---------------------------------------------------------------------------------------
// Reading lines.

struct LinesCase {
    std::string label;
    std::string content;
    std::vector<std::string> lines;
    friend void PrintTo(const LinesCase& c, std::ostream* os) { *os << c.label; }
};

class TableLineReaderLinesTest : public ::testing::TestWithParam<LinesCase> {
  protected:
    test_support::ScratchFolder folder_;
};

TEST_P(TableLineReaderLinesTest, SplitsAtEveryLineEnd) {
    const std::string path = folder_.Path("in.txt");
    WriteBytes(path, GetParam().content);
    auto file = platform::SystemFileSystem().OpenInput(path);
    TableLineReader reader(*file);
    conversion::TableCount count = reader.CountRows();
    reader.Restart(count.encoding);
    std::vector<std::string> lines = AllLines(reader);
    EXPECT_TRUE(lines == GetParam().lines) << lines.size() << " lines";
    reader.Restart(count.encoding);
    EXPECT_TRUE(AllLines(reader) == GetParam().lines) << "after Restart";
}

std::vector<LinesCase> LineEndCases() {
    std::vector<LinesCase> cases = {
        {"Empty", "", {}},
        {"NoLineEnd", "a", {"a"}},
        {"CrLf", "a\r\nb\r\n", {"a", "b"}},
        {"Lf", "a\nb", {"a", "b"}},
        {"Cr", "a\rb\r", {"a", "b"}},
        {"OnlyCrLf", "\r\n", {""}},
        {"CrCr", "a\r\r", {"a", ""}},
        {"LfCr", "a\n\rb", {"a", "", "b"}},
        {"LfLf", "\n\n", {"", ""}},
        {"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
    };
    // A line end or a character that straddles the reader's block boundary, for any likely
    // block size.
    for (size_t block = 4096; block <= (size_t{1} << 20); block *= 2) {
        for (size_t shortBy : {2, 1, 0}) {
            const std::string longLine(block - shortBy, 'x');
            const std::string suffix = std::to_string(block) + "_" + std::to_string(shortBy);
            cases.push_back({"CrLfAt" + suffix, longLine + "\r\nb\r\n", {longLine, "b"}});
            cases.push_back({"CrAt" + suffix, longLine + "\rb", {longLine, "b"}});
            cases.push_back({"CrAtEndAt" + suffix, longLine + "\r", {longLine}});
        }
    }
    // A character cut by the reader's block boundary (64 KiB), at each of its bytes.
    for (size_t shortBy : {3, 2, 1, 0}) {
        const std::string longLine((size_t{1} << 16) - shortBy, 'x');
        const std::string suffix = std::to_string(shortBy);
        cases.push_back({"Cp932AtBlockEnd" + suffix,
                         longLine + test_support::Cp932("駅ｱ駅\r\n"),
                         {longLine + "駅ｱ駅"}});
        cases.push_back({"Utf8AtBlockEnd" + suffix,
                         "\xEF\xBB\xBF" + longLine + "駅😀駅\r\nb",
                         {longLine + "駅😀駅", "b"}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, TableLineReaderLinesTest, ::testing::ValuesIn(LineEndCases()),
                         [](const auto& info) { return info.param.label; });

TEST(TableLineReader, ReadsManyShortLines) {
    test_support::ScratchFolder folder;
    const std::string path = folder.Path("in.txt");
    WriteBytes(path, Repeat("ab\r\n", 300000));
    auto file = platform::SystemFileSystem().OpenInput(path);
    TableLineReader reader(*file);
    reader.Restart({});
    size_t count = 0;
    while (!reader.AtEnd()) {
        ASSERT_EQ(reader.ReadLineCP932(), U"ab") << "line " << count + 1;
        ++count;
    }
    EXPECT_EQ(count, 300000u);
}

// The raw blank test and the parser must agree on what a space is.
TEST(TextRules, EverySpaceFormDecodesToItsCharacter) {
    for (const fare_model::SpaceForm& space : fare_model::kSpaces) {
        EXPECT_EQ(platform::TextDecoder(TextEncoding::kCp932).Decode(space.cp932),
                  std::u32string(1, space.character));
        EXPECT_EQ(platform::DecodeUtf8(space.utf8), std::u32string(1, space.character));
        EXPECT_TRUE(fare_model::IsSpace(space.character));
    }
}

}  // namespace

namespace {

// What the first reading tells of the lines after the table.
struct CountCase {
    std::string label;
    std::string content;
    int rows;
    bool blankLine;
    int rowsAfterBlank;
    friend void PrintTo(const CountCase& c, std::ostream* os) { *os << c.label; }
};

class TableCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(TableCountTest, TellsWhatFollowsTheBlankLine) {
    test_support::ScratchFolder folder;
    WriteBytes(folder.Path("in.txt"), GetParam().content);
    auto file = platform::SystemFileSystem().OpenInput(folder.Path("in.txt"));
    conversion::TableCount count = TableLineReader(*file).CountRows();
    EXPECT_EQ(count.rows, GetParam().rows);
    EXPECT_EQ(count.blankLine, GetParam().blankLine);
    EXPECT_EQ(count.rowsAfterBlank, GetParam().rowsAfterBlank);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableCountTest,
    ::testing::Values(CountCase{"EndOfFile", "a,1\r\nb,2", 2, false, 0},
                      CountCase{"RowsAfterBlank", "a,1\r\n\r\n\r\n  \r\nb,2\r\nc,3", 1, true, 2},
                      CountCase{"OnlyBlanksAfter", "a,1\r\n \r\n\x81\x40\r\n", 1, true, 0},
                      CountCase{"FirstLineBlank", "\r\nb,2", 0, true, 1},
                      // The look-ahead stops after a mebibyte past the blank line.
                      CountCase{"RowBeyondTheLookAhead",
                                "a,1\r\n\r\n" + Repeat(" \r\n", 400000) + "b,2", 1, true, 0}),
    [](const auto& info) { return info.param.label; });

}  // namespace
