#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Dates and times as a spreadsheet shows them: a fare cell that holds one is refused with the
// value the user sees in the sheet ("2025/04/01"), never the serial number the file stores.
namespace conversion::workbook {

// What a number format makes of a number.
enum class DateShape { kNone, kDate, kTime, kDateTime };

// The shape of an .xlsx built-in number format (numFmtId), as a Japanese Excel shows them.
DateShape ShapeOfBuiltInFormat(uint32_t id);
// The shape of a format code such as "yyyy/mm/dd" or "h:mm": quoted text, escapes, colours
// and locales in brackets are passed over; only the first section counts.
DateShape ShapeOfFormatCode(std::string_view code);

// A serial date (days since the workbook's epoch, the fraction the time of day) shown in
// `shape`: "2025/04/01", "9:30", "2025/04/01 9:30:15".
std::string ShownSerialDate(double serial, DateShape shape, bool epoch1904);
// OpenDocument's office:date-value ("2025-04-01", "2025-04-01T09:30:00") shown the same way.
std::string ShownIsoDate(std::string_view value);
// OpenDocument's office:time-value ("PT09H30M00S") shown as "9:30".
std::string ShownIsoDuration(std::string_view value);

}  // namespace conversion::workbook
