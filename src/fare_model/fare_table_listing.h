#pragma once

#include <span>
#include <string>
#include <string_view>

#include "fare_model/fare_line_record.h"

namespace fare_model {

// The column headings of a listing; the wording module has them ("行", "地名", "ゾーン",
// "運賃").
struct ListingHeadings {
    std::u32string_view row, place, zone, fares;
};

// The records as a table for a terminal, in UTF-8 with LF line ends: the headings, then one
// line per record with its row number (from 1), place
// name, zone and the fares up to the last non-zero one. Columns are aligned by display
// width (see TerminalWidth). Control characters in a name are shown as \xNN, so that a
// hostile file cannot send commands to the terminal. Never throws but for lack of memory.
std::string FareTableListing(std::span<const FareLineRecord> records,
                             const ListingHeadings& headings);

// A place name in UTF-8 as the listing shows it: control characters as \xNN.
std::string PrintableName(std::u32string_view name);

// The columns a character takes on a terminal, from a fixed table so the result does not
// depend on the locale: 2 for East Asian Wide and Fullwidth characters, 0 for combining
// marks, 1 for everything else (half-width katakana and East Asian Ambiguous characters
// such as "○" included, as most terminals show them).
int TerminalWidth(char32_t ch);

}  // namespace fare_model
