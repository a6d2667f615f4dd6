#pragma once

#include <algorithm>
#include <iterator>
#include <string_view>

// The rules of the table text that the reader, the row count and the parser share.
namespace fare_model {

// The characters that count as spaces, and their bytes in each encoding a table may be in.
struct SpaceForm {
    char32_t character;
    std::string_view cp932;
    std::string_view utf8;
};
inline constexpr SpaceForm kSpaces[] = {{U' ', " ", " "}, {U'\u3000', "\x81\x40", "\xE3\x80\x80"}};

constexpr bool IsSpace(char32_t ch) {
    return std::any_of(std::begin(kSpaces), std::end(kSpaces),
                       [ch](const SpaceForm& space) { return space.character == ch; });
}

// Fields are separated by tabs, half-width commas and full-width commas.
constexpr bool IsSeparator(char32_t ch) {
    return ch == U'\t' || ch == U',' || ch == U'\uFF0C';
}

// A blank line holds nothing but spaces; the first one ends the table.
constexpr bool IsBlankText(std::u32string_view text) {
    return std::all_of(text.begin(), text.end(), IsSpace);
}

// A line ends at a carriage return, at a line feed, or at the pair CR LF, which is one line end.
constexpr bool IsLineEnd(char byte) {
    return byte == '\r' || byte == '\n';
}
constexpr bool ContinuesLineEnd(char lineEnd, char next) {
    return lineEnd == '\r' && next == '\n';
}

}  // namespace fare_model
