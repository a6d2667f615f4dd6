// Inputs built to provoke work that grows faster than the input: each must finish. The bound
// is generous (these take milliseconds), so only a blow-up, never a slow machine, trips it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "child_process.h"
#include "conversion/conversion_run.h"
#include "fare_model/fare_line_parser.h"
#include "fare_model/run_error.h"
#include "fault_workspace.h"

namespace faults {
namespace {

using conversion::ConversionOutcome;
using namespace std::chrono_literals;

// A quadratic blow-up on ten megabytes takes hours, so even the sanitized build's bound is
// far below it.
constexpr auto kBound = kSanitized ? 60s : 20s;
constexpr size_t kTenMegabytes = 10'000'000;

std::u32string Repeat(std::u32string_view piece, size_t characters) {
    std::u32string text;
    text.reserve(characters + piece.size());
    while (text.size() < characters) {
        text += piece;
    }
    return text;
}

std::string Repeat(std::string_view piece, size_t bytes) {
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) {
        text += piece;
    }
    return text;
}

// What a parse ended in, as text: "code N" or the fields that matter here.
std::string ParseResult(const std::u32string& line) {
    try {
        fare_model::FareLineRecord record = fare_model::ParseFareLine(line);
        return "name " + std::to_string(record.PlaceName.size()) + " chars, zone " +
               std::to_string(record.ZoneNumber) + ", fare1 " + std::to_string(record.Fares[0]);
    } catch (const fare_model::RunError& error) {
        return "code " + std::to_string(error.code());
    }
}

struct HostileLine {
    const char* name;
    std::function<std::u32string()> make;
    std::string expected;
};

std::vector<HostileLine> HostileLines() {
    const size_t n = kTenMegabytes;
    return {
        {"SpacesInAFare", [=] { return U"名,1," + Repeat(U" ", n) + U"5"; },
         "name 1 chars, zone 1, fare1 5"},
        {"IdeographicSpacesInAFare", [=] { return U"名,1," + Repeat(U"\u3000", n) + U"7"; },
         "name 1 chars, zone 1, fare1 7"},
        {"SpacesBetweenDigits", [=] { return U"名,1," + Repeat(U"0 ", n) + U"9"; },
         "name 1 chars, zone 1, fare1 9"},
        {"LeadingZeros", [=] { return U"名,1," + Repeat(U"0", n) + U"9"; },
         "name 1 chars, zone 1, fare1 9"},
        {"FractionDigits", [=] { return U"名,1,1." + Repeat(U"3", n); },
         "name 1 chars, zone 1, fare1 1"},
        {"FractionZerosBeforeADigit", [=] { return U"名,1,0." + Repeat(U"0", n) + U"1"; },
         "name 1 chars, zone 1, fare1 0"},
        {"ExponentZeros", [=] { return U"名,1,1e" + Repeat(U"0", n) + U"2"; },
         "name 1 chars, zone 1, fare1 100"},
        {"HexZeros", [=] { return U"名,1,&H" + Repeat(U"0", n) + U"F"; },
         "name 1 chars, zone 1, fare1 15"},
        {"Digits", [=] { return U"名,1," + Repeat(U"9", n); }, "code 6"},
        {"Signs", [=] { return U"名,1," + Repeat(U"-", n); }, "name 1 chars, zone 1, fare1 0"},
        {"QuotesInAFare", [=] { return U"名,1," + Repeat(U"\"", n) + U"8"; },
         "name 1 chars, zone 1, fare1 8"},
        {"QuotesOnly", [=] { return Repeat(U"\"", n); }, "name 0 chars, zone 0, fare1 0"},
        {"SpacesBeforeAName", [=] { return Repeat(U" ", n) + U"名"; },
         "name 1 chars, zone 0, fare1 0"},
        {"LongName", [=] { return Repeat(U"あ", n); }, "name 10000000 chars, zone 0, fare1 0"},
        {"Commas", [=] { return Repeat(U",", n); }, "code 9"},
        {"Tabs", [=] { return Repeat(U"\t", n); }, "code 9"},
        {"QuotedCommas", [=] { return Repeat(U"\",\"", n); }, "code 9"},
    };
}

void PrintTo(const HostileLine& hostile, std::ostream* out) {
    *out << hostile.name;
}

class HostileLineTest : public testing::TestWithParam<HostileLine> {};

TEST_P(HostileLineTest, ParsesWithinTheBound) {
    const HostileLine& hostile = GetParam();
    ChildResult result = RunInChild([&] { return ParseResult(hostile.make()); }, kBound);
    ASSERT_NE(result.ending, ChildResult::Ending::kTimedOut)
        << "no result within " << kBound.count() << " s";
    ASSERT_EQ(result.ending, ChildResult::Ending::kReported) << result.report;
    EXPECT_EQ(result.report, hostile.expected);
}

INSTANTIATE_TEST_SUITE_P(TenMegabyteLines, HostileLineTest, testing::ValuesIn(HostileLines()),
                         [](const testing::TestParamInfo<HostileLine>& info) {
                             return std::string(info.param.name);
                         });

struct HostileTable {
    const char* name;
    std::function<std::string()> make;
    std::string expected;  // "Succeeded", "NothingToConvert" or "code N"
};

std::string ConversionResult(const Workspace& workspace) {
    ConversionOutcome outcome =
        conversion::ConvertFareTable(workspace.input(), workspace.outputFolder() / "table.hy3");
    switch (outcome.kind) {
        case ConversionOutcome::Kind::kSucceeded:
            return "Succeeded";
        case ConversionOutcome::Kind::kNothingToConvert:
            return "NothingToConvert";
        case ConversionOutcome::Kind::kWithheld:
            return "Withheld";
        case ConversionOutcome::Kind::kFailed:
            break;
    }
    return "code " + std::to_string(outcome.error->code());
}

std::vector<HostileTable> HostileTables() {
    const size_t n = kTenMegabytes;
    return {
        {"FiftyRowsOfSpacesBeforeAFare",
         [] {
             std::string table;
             for (int row = 0; row < 50; ++row) {
                 table +=
                     "place," + std::to_string(row) + "," + std::string(200'000, ' ') + "1\r\n";
             }
             return table;
         },
         "Succeeded"},
        {"OneLineOfSpacesWithoutALineEnd", [=] { return "a,1," + Repeat(" ", n) + "5"; },
         "Succeeded"},
        {"LongNameInCodePage932", [=] { return Repeat("\x82\xA0", n) + ",1,140"; }, "code 6"},
        {"LongNameInUtf8", [=] { return Repeat("あ", n) + ",1,140"; }, "code 6"},
        {"UnassignedCodes", [=] { return "a,1," + Repeat("\x85\x40", n); }, "code 5"},
        {"LineFeedsOnly", [=] { return Repeat("\n", n); }, "NothingToConvert"},
        {"CarriageReturnsAfterARow", [=] { return "a,1,2" + Repeat("\r", n); }, "Succeeded"},
        {"ManyShortRows", [=] { return Repeat("a\n", n); }, "code 6"},
        {"OneLineOfCommas", [=] { return Repeat(",", n); }, "code 9"},
    };
}

void PrintTo(const HostileTable& hostile, std::ostream* out) {
    *out << hostile.name;
}

class HostileTableTest : public testing::TestWithParam<HostileTable> {};

TEST_P(HostileTableTest, ConvertsWithinTheBound) {
    const HostileTable& hostile = GetParam();
    Workspace workspace;
    WriteBytes(workspace.input(), hostile.make());
    ChildResult result = RunInChild([&] { return ConversionResult(workspace); }, kBound);
    ASSERT_NE(result.ending, ChildResult::Ending::kTimedOut)
        << "no outcome within " << kBound.count() << " s";
    ASSERT_EQ(result.ending, ChildResult::Ending::kReported) << result.report;
    EXPECT_EQ(result.report, hostile.expected);
}

INSTANTIATE_TEST_SUITE_P(TenMegabyteTables, HostileTableTest, testing::ValuesIn(HostileTables()),
                         [](const testing::TestParamInfo<HostileTable>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace faults
