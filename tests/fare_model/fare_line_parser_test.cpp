#include "fare_model/fare_line_parser.h"
#include "conversion/failure_wording.h"
#include "platform/os/run_error.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fare_model/run_error.h"
#include "platform/os/code_page.h"

namespace {

using fare_model::FareLineRecord;
using fare_model::NumericPrefixValue;
using fare_model::ParseFareLine;

std::string Printable(std::u32string_view text) {
    std::string utf8 = fare_model::EncodeUtf8(text);
    return utf8.size() > 80 ? utf8.substr(0, 80) + "…" : utf8;
}

// For test names: no characters that a test list file would mangle.
std::string ParamName(std::u32string_view text) {
    std::string name;
    for (char c : Printable(text)) {
        name += c == '\t'  ? std::string("<TAB>")
                : c == '"' ? std::string("<Q>")
                           : std::string(1, c);
    }
    if (text.size() > 40)
        name += " (" + std::to_string(text.size()) + " characters)";
    return name;
}

// ---------------------------------------------------------------------------------------
// The lenient number reader.

struct NumberCase {
    std::u32string text;
    double value;
    friend void PrintTo(const NumberCase& c, std::ostream* os) { *os << ParamName(c.text); }
};

class NumericPrefixValueTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumericPrefixValueTest, ReadsTheLongestLeadingNumber) {
    const NumberCase& c = GetParam();
    EXPECT_DOUBLE_EQ(NumericPrefixValue(c.text), c.value) << Printable(c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumericPrefixValueTest,
    ::testing::Values(
        NumberCase{U"", 0}, NumberCase{U"140", 140}, NumberCase{U"1 4 0", 140},
        NumberCase{U" \t1\t4 ", 14}, NumberCase{U"150¥", 150}, NumberCase{U"150円", 150},
        NumberCase{U"abc", 0}, NumberCase{U"1.5", 1.5}, NumberCase{U"-7", -7}, NumberCase{U"+7", 7},
        NumberCase{U".5", 0.5}, NumberCase{U"-.5", -0.5}, NumberCase{U"1.", 1},
        NumberCase{U"1.2.3", 1.2}, NumberCase{U"--1", 0}, NumberCase{U"+-1", 0},
        NumberCase{U"12x34", 12}, NumberCase{U"1,2", 1}, NumberCase{U"1，2", 1},
        NumberCase{U"1e3", 1000}, NumberCase{U"1E3", 1000}, NumberCase{U"2.5e-1", 0.25},
        NumberCase{U"1 e 3", 1000}, NumberCase{U"1e", 1}, NumberCase{U"1e+", 1},
        NumberCase{U"1e+2", 100}, NumberCase{U"1e5", 100000},
        // A huge exponent must not turn 0 into NaN, nor overflow an integer exponent.
        NumberCase{U"0e99999999999999999999", 0}, NumberCase{U"1e-99999999999999999999", 0},
        NumberCase{U"&H1F", 31}, NumberCase{U"&h1f", 31}, NumberCase{U"&Hff", 255},
        NumberCase{U"& H 1F", 31}, NumberCase{U"&HFFFF", 65535}, NumberCase{U"&H", 0},
        NumberCase{U"&HG1", 0}, NumberCase{U"&O17", 15}, NumberCase{U"&o17", 15},
        NumberCase{U"&O8", 0}, NumberCase{U"&", 0},
        // What a Japanese input method types: full-width digits, signs, point and space.
        NumberCase{U"１４０", 140}, NumberCase{U"－１．５", -1.5}, NumberCase{U"＋３", 3},
        NumberCase{U"1　4　0", 140}, NumberCase{U"　１２ｘ", 12}));

// ---------------------------------------------------------------------------------------
// Lines that parse.

struct ParseCase {
    std::u32string line;
    std::u32string placeName;
    int16_t zone;
    std::map<int, int16_t> fares;  // Fares(k) of the table; every other fare is 0
    friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << ParamName(c.line); }
};

class ParseFareLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseFareLineTest, FillsTheRecord) {
    const ParseCase& c = GetParam();
    FareLineRecord expected;
    expected.PlaceName = c.placeName;
    expected.ZoneNumber = c.zone;
    for (const auto& [index, value] : c.fares)
        expected.Fares.at(index - 1) = value;

    FareLineRecord actual = ParseFareLine(c.line);
    EXPECT_EQ(fare_model::EncodeUtf8(actual.PlaceName), fare_model::EncodeUtf8(expected.PlaceName))
        << Printable(c.line);
    EXPECT_EQ(actual.ZoneNumber, expected.ZoneNumber) << Printable(c.line);
    EXPECT_EQ(actual.Fares, expected.Fares) << Printable(c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseFareLineTest,
    ::testing::Values(
        ParseCase{U"地名１,1,140", U"地名１", 1, {{1, 140}}},
        ParseCase{U"  地名  ,1", U"地名  ", 1, {}}, ParseCase{U"　 地名,1", U"地名", 1, {}},
        ParseCase{U"\"地名\",\"3\",\"150\"", U"地名", 3, {{1, 150}}},
        ParseCase{U" \"  東京\"", U"東京", 0, {}},
        // Quotes never group: the comma between them still separates.
        ParseCase{U"\"a,b\",1", U"a", 0, {{1, 1}}},
        ParseCase{U"名,1,2\"3\"4", U"名", 1, {{1, 234}}},
        ParseCase{U"地名，2，150，140", U"地名", 2, {{1, 150}, {2, 140}}},
        ParseCase{U"地名\t2\t150\t140", U"地名", 2, {{1, 150}, {2, 140}}},
        ParseCase{U"地名\t2，150,140", U"地名", 2, {{1, 150}, {2, 140}}},
        ParseCase{U"地名,,,200", U"地名", 0, {{2, 200}}},
        ParseCase{U"地名,1,2,", U"地名", 1, {{1, 2}}}, ParseCase{U",5,6", U"", 5, {{1, 6}}},
        ParseCase{U"\t", U"", 0, {}}, ParseCase{U"  東京  駅 ", U"東京  駅 ", 0, {}},
        ParseCase{U"99999,1", U"99999", 1, {}},
        ParseCase{U"名,1 4 0,１４０,－５,１．５", U"名", 140, {{1, 140}, {2, -5}, {3, 2}}},
        ParseCase{U"名,150円,abc,&H1F,&o17,1e3,-1,1　5",
                  U"名",
                  150,
                  {{1, 0}, {2, 31}, {3, 15}, {4, 1000}, {5, -1}, {6, 15}}},
        // Exact halves go to the even neighbour.
        ParseCase{U"名,0.5,1.5,2.5,3.5,-0.5,-2.5,32766.5,-32768.5,2.4,2.6,25e-1",
                  U"名",
                  0,
                  {{1, 2},
                   {2, 2},
                   {3, 4},
                   {4, 0},
                   {5, -2},
                   {6, 32766},
                   {7, -32768},
                   {8, 2},
                   {9, 3},
                   {10, 2}}},
        ParseCase{U"名,32767,-32768,0e400", U"名", 32767, {{1, -32768}}}));

TEST(ParseFareLine, ReadsAllHundredFiftyFares) {
    std::u32string line = U"名,1";
    for (int k = 1; k <= 150; ++k)
        line += U"," + platform::DecodeUtf8(std::to_string(k)).value();
    FareLineRecord record = ParseFareLine(line);
    for (int k = 1; k <= 150; ++k)
        EXPECT_EQ(record.Fares[k - 1], k);
}

TEST(ParseFareLine, LongFieldsParseInOnePass) {
    // A field of many spaces must not be re-read after every character.
    const std::u32string spaces(200000, U' ');
    FareLineRecord record = ParseFareLine(U"名,1," + spaces + U"7");
    EXPECT_EQ(record.Fares[0], 7);

    record = ParseFareLine(U"名," + std::u32string(200000, U'0') + U"12");
    EXPECT_EQ(record.ZoneNumber, 12);

    record = ParseFareLine(U"名,1,1." + std::u32string(200000, U'0') + U"1");
    EXPECT_EQ(record.Fares[0], 1);

    const std::u32string longName(1000000, U'駅');
    EXPECT_EQ(ParseFareLine(spaces + longName).PlaceName, longName);
}

// ---------------------------------------------------------------------------------------
// Lines that fail.

struct FailureCase {
    std::u32string line;
    int code;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << ParamName(c.line); }
};

std::u32string FullRow(std::u32string_view separator) {
    std::u32string line = U"名";
    line += separator;
    line += U"1";
    for (int k = 0; k < 150; ++k) {
        line += separator;
        line += U"7";
    }
    return line;
}

class ParseFareLineFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ParseFareLineFailureTest, FailsWithTheCode) {
    const FailureCase& c = GetParam();
    try {
        ParseFareLine(c.line);
        ADD_FAILURE() << "no failure for " << Printable(c.line);
    } catch (const fare_model::RunError& error) {
        EXPECT_EQ(error.code(), c.code) << Printable(c.line);
        EXPECT_EQ(conversion::DescriptionText(error), platform::DescriptionForCode(c.code));
        EXPECT_FALSE(error.line().has_value()) << "the parser does not know the line number";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Overflow, ParseFareLineFailureTest,
    ::testing::Values(FailureCase{U"名,1,40000", 6}, FailureCase{U"名,40000", 6},
                      FailureCase{U"名,1,-32769", 6}, FailureCase{U"名,1,32767.5", 6},
                      FailureCase{U"名,1,-32768.6", 6}, FailureCase{U"名,1,３２７６８", 6},
                      FailureCase{U"名,1,1 0 0 0 0 0", 6}, FailureCase{U"名,1,99999abc", 6},
                      FailureCase{U"名,1,&H8000", 6}, FailureCase{U"名,1,&HFFFF", 6},
                      FailureCase{U"名,1,1e5", 6}, FailureCase{U"名,1,1e400", 6},
                      // A leading part out of range fails though the whole field would fit.
                      FailureCase{U"名,1,99999E-3", 6}, FailureCase{U"名,1,100000e-5", 6},
                      FailureCase{U"名,0.00001e99", 6},
                      // The overflow comes before the later separator that would fail with 9.
                      FailureCase{FullRow(U",").substr(0, FullRow(U",").size() - 1) + U"99999,",
                                  6}));

INSTANTIATE_TEST_SUITE_P(
    TooManyFields, ParseFareLineFailureTest,
    ::testing::Values(FailureCase{FullRow(U",") + U",", 9}, FailureCase{FullRow(U",") + U",5", 9},
                      // The separator opening field 153 fails before its overflowing value.
                      FailureCase{FullRow(U",") + U",99999", 9},
                      FailureCase{FullRow(U"\t") + U"\t", 9},
                      FailureCase{FullRow(U"，") + U"，", 9},
                      FailureCase{U"\"" + FullRow(U",") + U",\"", 9}));

TEST(ParseFareLine, ExactlyHundredFiftyTwoFieldsParse) {
    for (const char32_t* separator : {U",", U"\t", U"，"}) {
        FareLineRecord record = ParseFareLine(FullRow(separator));
        EXPECT_EQ(record.Fares[149], 7);
    }
}

}  // namespace
