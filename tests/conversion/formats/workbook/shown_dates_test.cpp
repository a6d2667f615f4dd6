#include "conversion/formats/workbook/shown_dates.h"

#include <gtest/gtest.h>

namespace {

using conversion::workbook::DateShape;

// Dates as a Japanese spreadsheet shows them, from the serial numbers an .xlsx stores and the
// texts an .ods stores; never the serial number itself.
TEST(ShownDates, SerialsShowAsTheSpreadsheetShowsThem) {
    struct Case {
        double serial;
        DateShape shape;
        bool epoch1904;
        const char* shown;
    };
    const Case cases[] = {
        {45748, DateShape::kDate, false, "2025/04/01"},
        {45748.75, DateShape::kDate, false, "2025/04/01"},
        {0.395833333, DateShape::kTime, false, "9:30"},
        {45748.395844907, DateShape::kDateTime, false, "2025/04/01 9:30:01"},
        {1, DateShape::kDate, false, "1900/01/01"},
        {59, DateShape::kDate, false, "1900/02/28"},
        {60, DateShape::kDate, false, "1900/02/29"},  // the leap day that never was
        {61, DateShape::kDate, false, "1900/03/01"},
        {0, DateShape::kDate, true, "1904/01/01"},
        {44286, DateShape::kDate, true, "2025/04/01"},
        {2958465, DateShape::kDate, false, "9999/12/31"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(conversion::workbook::ShownSerialDate(c.serial, c.shape, c.epoch1904), c.shown)
            << c.serial;
    }
}

TEST(ShownDates, FormatsTellDatesFromNumbers) {
    struct Case {
        const char* code;
        DateShape shape;
    };
    const Case cases[] = {
        {"General", DateShape::kNone},
        {"#,##0\"円\"", DateShape::kNone},
        {"0.00E+00", DateShape::kNone},
        {"[Red]0;[Blue]-0", DateShape::kNone},
        {"\"day \"0", DateShape::kNone},
        {"yyyy/mm/dd", DateShape::kDate},
        {"[$-411]ggge\"年\"m\"月\"d\"日\"", DateShape::kDate},
        {"mmm", DateShape::kDate},
        {"h:mm AM/PM", DateShape::kTime},
        {"[h]:mm", DateShape::kTime},
        {"yyyy/m/d h:mm", DateShape::kDateTime},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(conversion::workbook::ShapeOfFormatCode(c.code), c.shape) << c.code;
    }
    EXPECT_EQ(conversion::workbook::ShapeOfBuiltInFormat(14), DateShape::kDate);
    EXPECT_EQ(conversion::workbook::ShapeOfBuiltInFormat(20), DateShape::kTime);
    EXPECT_EQ(conversion::workbook::ShapeOfBuiltInFormat(3), DateShape::kNone);
}

TEST(ShownDates, OpenDocumentValuesShowTheSameWay) {
    const std::pair<const char*, const char*> dates[] = {
        {"2025-04-01", "2025/04/01"},
        {"2025-04-01T00:00:00", "2025/04/01"},
        {"2025-04-01T09:30:00", "2025/04/01 9:30"},
        {"not a date", "not a date"},
    };
    for (const auto& [value, shown] : dates) {
        EXPECT_EQ(conversion::workbook::ShownIsoDate(value), shown) << value;
    }
    const std::pair<const char*, const char*> times[] = {
        {"PT09H30M00S", "9:30"},
        {"PT09H30M15.5S", "9:30:15"},
        {"P1DT02H00M00S", "26:00"},
    };
    for (const auto& [value, shown] : times) {
        EXPECT_EQ(conversion::workbook::ShownIsoDuration(value), shown) << value;
    }
}

}  // namespace
