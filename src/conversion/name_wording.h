#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Part of the wording module (wording.h). Names that come from the input (a workbook's sheets and
// parts, cell text) as messages quote them: a book may name them at any length and in any number,
// a message stays short enough to read.
namespace conversion {

// At most kShownNameCharacters characters of the text, then "…（残り 4,194,200 文字）".
inline constexpr size_t kShownNameCharacters = 40;
std::string ShortenedName(std::string_view utf8);

// At most this many of a list of names are quoted in a message; the rest are counted.
inline constexpr size_t kShownNames = 10;
// "「運賃」、「二系統」ほか 999,995 枚": the first of `total` sheets, quoted.
std::string QuotedNames(const std::vector<std::string>& names, size_t total);

// "1,234,567": a count as a message gives it, its digits grouped by three.
std::string GroupedCount(size_t count);

}  // namespace conversion
