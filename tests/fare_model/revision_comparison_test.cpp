#include "fare_model/revision_comparison.h"
#include "conversion/wording.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "conversion/conversion_run.h"
#include "fare_records.h"
#include "test_support.h"

namespace {

using fare_model::FareLineRecord;
using fare_model::RecordDifference;
using test_support::Record;
using Kind = RecordDifference::Kind;

// What a difference says, with the field hy3conv names it by.
struct Said {
    std::optional<int> field;
    std::string text;
    friend bool operator==(const Said&, const Said&) = default;
};

void PrintTo(const Said& said, std::ostream* out) {
    *out << (said.field ? std::to_string(*said.field) : "-") << " " << said.text;
}

FareLineRecord WithFare(FareLineRecord record, int fare, int16_t value) {
    record.Fares[static_cast<size_t>(fare - 1)] = value;
    return record;
}

TEST(CompareRecords, NamesEveryChangedValueRowByRow) {
    const FareLineRecord title = Record(U"１２３系統", 1, {140});
    const FareLineRecord stop2 = Record(U"地名２", 1, {140, 150});
    struct Case {
        const char* name;
        std::vector<FareLineRecord> before, after;
        std::vector<Said> said;
    };
    const Case cases[] = {
        {"identical tables", {title, stop2}, {title, stop2}, {}},
        {"no rows on either side", {}, {}, {}},
        {"fares changed, added past the last one, and set to zero",
         {title, stop2},
         {title, WithFare(WithFare(Record(U"地名２", 1, {0, 160}), 150, -1), 1, 0)},
         {{3, "2行目（地名２）の運賃1を 140 から 0 に変えました。"},
          {4, "2行目（地名２）の運賃2を 150 から 160 に変えました。"},
          {152, "2行目（地名２）の運賃150を 0 から -1 に変えました。"}}},
        {"a renamed place and a changed zone in one row, the name first",
         {title, stop2},
         {title, Record(U"新地名\x1B", 2, {140, 150})},
         {{1, "2行目の地名を「地名２」から「新地名\\x1B」に変えました。"},
          {2, "2行目（新地名\\x1B）のゾーン番号を 1 から 2 に変えました。"}}},
        {"rows added at the end",
         {title},
         {title, stop2, Record(U"", 3)},
         {{std::nullopt, "2行目（地名２）を加えました。"},
          {std::nullopt, "3行目（）を加えました。"}}},
        {"rows removed from the end, named as they were",
         {title, stop2},
         {Record(U"１２３系統", 1, {130})},
         {{3, "1行目（１２３系統）の運賃1を 140 から 130 に変えました。"},
          {std::nullopt, "2行目（地名２）がなくなりました。"}}},
        {"a row inserted in the middle shifts every row after it",
         {title, stop2},
         {title, Record(U"地名１", 1, {140}), stop2},
         {{1, "2行目の地名を「地名２」から「地名１」に変えました。"},
          {4, "2行目（地名１）の運賃2を 150 から 0 に変えました。"},
          {std::nullopt, "3行目（地名２）を加えました。"}}},
    };
    for (const Case& c : cases) {
        std::vector<Said> said;
        for (const RecordDifference& difference : fare_model::CompareRecords(c.before, c.after)) {
            said.push_back({difference.field(), conversion::DifferenceText(difference)});
        }
        EXPECT_EQ(said, c.said) << c.name;
    }
    EXPECT_EQ(conversion::DifferenceSummary(0), "前の .hy3 から変わったところはありません。");
    EXPECT_EQ(conversion::DifferenceSummary(12), "前の .hy3 から 12 か所変わりました。");
}

// A fare from 0 counts as added and to 0 as removed; names and zones are no fares.
TEST(CountRevision, CountsFaresThatRoseFellAppearedAndWentAndWholeRows) {
    const std::vector<FareLineRecord> before = {Record(U"地名１", 1, {140, 150, 0, 160, 170}),
                                                Record(U"地名２", 1, {140}),
                                                Record(U"地名３", 1, {140})};
    const std::vector<FareLineRecord> after = {Record(U"新地名", 2, {150, 140, 200, 0, 180})};
    const fare_model::RevisionCount count =
        fare_model::CountRevision(fare_model::CompareRecords(before, after));
    EXPECT_EQ(count, (fare_model::RevisionCount{2, 1, 1, 1, 0, 2}));
    EXPECT_EQ(fare_model::CountRevision(fare_model::CompareRecords(after, before)).rowsAdded, 2);
}

// A conversion compares the table with the .hy3 it replaces, before replacing it.
TEST(ConvertFareTable, CarriesWhatTheTableChangedAgainstTheFileItReplaced) {
    test_support::ScratchFolder folder;
    const std::string input = folder.Path("in.txt"), output = folder.Path("out.hy3");
    test_support::WriteBytes(input, "a,1,140\r\nb,2,150\r\n");
    struct Case {
        const char* name;
        std::optional<std::string> old;  // the output's bytes before, if any
        std::optional<size_t> differences;
    };
    const Case cases[] = {
        {"no old file", std::nullopt, std::nullopt},
        {"an old file that is not a .hy3", "not a table", std::nullopt},
        {"the same table", test_support::Hy3({{"a", 1, {140}}, {"b", 2, {150}}}), 0},
        {"one fare and one row more", test_support::Hy3({{"a", 1, {130}}}), 2},
    };
    for (const Case& c : cases) {
        std::remove(output.c_str());
        if (c.old) {
            test_support::WriteBytes(output, *c.old);
        }
        const conversion::ConversionOutcome outcome = conversion::ConvertFareTable(input, output);
        ASSERT_EQ(outcome.kind, conversion::ConversionOutcome::Kind::kSucceeded) << c.name;
        EXPECT_EQ(outcome.differences ? std::optional(outcome.differences->size()) : std::nullopt,
                  c.differences)
            << c.name;
    }
}

}  // namespace
