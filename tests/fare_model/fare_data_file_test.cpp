#include "fare_model/fare_data_file.h"
#include "conversion/failure_wording.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fare_model/run_error.h"
#include "fare_records.h"
#include "platform/os/code_page.h"
#include "system_cp932.h"
#include "test_support.h"

namespace {

using fare_model::FareLineRecord;
using test_support::Cp932;
using test_support::ExpectedRow;
using test_support::Hex;
using test_support::Hy3;

using test_support::Record;

class FareDataFileTest : public ::testing::Test {
  protected:
    std::string Write(const std::vector<FareLineRecord>& records) {
        return fare_model::FareDataFileBytes(records, test_support::SystemCp932());
    }
};

TEST_F(FareDataFileTest, EmptyRecordTakes304Bytes) {
    std::string expected("\x01\x00\x00\x00", 4);
    expected.append(302, '\0');
    EXPECT_EQ(Hex(Write({FareLineRecord{}})), Hex(expected));
}

TEST_F(FareDataFileTest, WritesTheLayoutLittleEndian) {
    FareLineRecord last = Record(U"ｱ", 2);
    last.Fares[149] = 32767;
    std::string bytes = Write({Record(U"１２３系統　コンバータのテンプレート", 1, {140}),
                               Record(U"地名  ", -1, {-32768, -1}), last});
    std::vector<int> lastFares(150, 0);
    lastFares[149] = 32767;
    EXPECT_EQ(Hex(bytes), Hex(Hy3({{Cp932("１２３系統　コンバータのテンプレート"), 1, {140}},
                                   {Cp932("地名  "), -1, {-32768, -1}},
                                   {"\xB1", 2, lastFares}})));
    // Spot checks against the bytes the display unit is known to read.
    EXPECT_EQ(Hex(bytes.substr(0, 10)), "03 00 24 00 82 50 82 51 82 52");
    size_t second = 2 + 304 + 36;
    EXPECT_EQ(Hex(bytes.substr(second, 14)), "06 00 92 6E 96 BC 20 20 FF FF 00 80 FF FF");
    EXPECT_EQ(Hex(bytes.substr(bytes.size() - 2)), "FF 7F");
    EXPECT_EQ(bytes.size(), 2u + (304 + 36) + (304 + 6) + (304 + 1));
}

TEST_F(FareDataFileTest, MatchesTheLayoutBuiltIndependently) {
    std::vector<int16_t> fares(150);
    for (int k = 0; k < 150; ++k)
        fares[k] = static_cast<int16_t>(k * 100 - 7000);
    std::vector<int> expectedFares(fares.begin(), fares.end());
    EXPECT_EQ(Write({Record(U"駅", 300, fares), FareLineRecord{}}),
              Hy3({{Cp932("駅"), 300, expectedFares}, {"", 0, {}}}));
}

TEST_F(FareDataFileTest, VendorCharactersKeepTheirCodePage932Bytes) {
    // NEC special, IBM extension, wave dash, user-defined area, half-width katakana.
    std::string bytes = Write({Record(U"①髙～\uE000\uE757ﾃｽ", 0)});
    EXPECT_EQ(Hex(bytes.substr(2, 2 + 12)), "0C 00 87 40 FB FC 81 60 F0 40 F9 FC C3 BD");
}

TEST_F(FareDataFileTest, NameLengthIsUnsignedUpTo65535) {
    std::string bytes = Write({Record(std::u32string(40000, U'a'), 0)});
    EXPECT_EQ(Hex(bytes.substr(2, 2)), "40 9C");
    bytes = Write({Record(std::u32string(65535, U'a'), 5)});
    EXPECT_EQ(Hex(bytes.substr(2, 2)), "FF FF");
    EXPECT_EQ(bytes.size(), 2u + 304 + 65535);
}

struct BadNameCase {
    std::u32string name;
    int code;
    std::string description;
    friend void PrintTo(const BadNameCase& c, std::ostream* os) {
        *os << fare_model::EncodeUtf8(c.name.substr(0, 4)) << "… (" << c.name.size()
            << " characters)";
    }
};

class FareDataFileBadNameTest : public FareDataFileTest,
                                public ::testing::WithParamInterface<BadNameCase> {};

TEST_P(FareDataFileBadNameTest, FailsNamingTheRow) {
    const BadNameCase& c = GetParam();
    std::vector<FareLineRecord> records = {Record(U"a", 1), Record(c.name, 2), Record(U"b", 3)};
    try {
        fare_model::FareDataFileBytes(records, test_support::SystemCp932());
        ADD_FAILURE() << "no failure";
    } catch (const fare_model::RunError& error) {
        EXPECT_EQ(error.code(), c.code);
        EXPECT_EQ(conversion::DescriptionText(error), c.description);
        EXPECT_EQ(error.line(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FareDataFileBadNameTest,
    ::testing::Values(BadNameCase{U"한국", 5, "地名に Shift-JIS で表せない文字があります。"},
                      BadNameCase{U"駅\U0001F600", 5,
                                  "地名に Shift-JIS で表せない文字があります。"},
                      BadNameCase{std::u32string(65536, U'a'), 6, "オーバーフローしました。"},
                      BadNameCase{std::u32string(32768, U'駅'), 6, "オーバーフローしました。"}));

}  // namespace
