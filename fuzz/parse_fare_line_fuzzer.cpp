// Feeds ParseFareLine and NumericPrefixValue arbitrary decoded text and compares them with a
// plain reading of the rules: the field is read again after every character, and a number is
// read by the C library from the characters that make it up. The fast parser must agree with
// that reading on every line, and fail only with code 6 or 9.
//
// The first byte of an input picks how the rest becomes text: 0 as UTF-8, 1 as UTF-32 (each
// four bytes one character), 2 as one character per byte from the characters that matter to
// the parser.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/fare_line_parser.h"
#include "platform/code_page.h"
#include "platform/run_error.h"

namespace {

using conversion::FareLineRecord;

// Longer lines are still parsed, but not compared: the plain reading is quadratic.
constexpr size_t kLongestComparedLine = 600;

constexpr std::u32string_view kParserAlphabet =
    U" ,\t\"0123456789.+-eE&HhOoFf\n\u3000\uFF0C\uFF10\uFF15\uFF0E\uFF0D\uFF0B名a¥";

std::optional<std::u32string> TextFromInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return std::nullopt;
    }
    const uint8_t* bytes = data + 1;
    size_t count = size - 1;
    std::u32string text;
    switch (data[0] % 3) {
        case 0:
            return platform::DecodeUtf8(
                std::string_view(reinterpret_cast<const char*>(bytes), count));
        case 1:
            for (size_t i = 0; i + 4 <= count; i += 4) {
                uint32_t unit = bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                                static_cast<uint32_t>(bytes[i + 3]) << 24;
                text.push_back(static_cast<char32_t>(unit % 0x110000));
            }
            return text;
        default:
            for (size_t i = 0; i < count; ++i) {
                text.push_back(kParserAlphabet[bytes[i] % kParserAlphabet.size()]);
            }
            return text;
    }
}

bool IsSpace(char32_t ch) {
    return ch == U' ' || ch == U'\u3000';
}

char ReferenceAscii(char32_t ch) {
    if (ch >= U'０' && ch <= U'９') {
        return static_cast<char>('0' + (ch - U'０'));
    }
    switch (ch) {
        case U'＋':
            return '+';
        case U'－':
            return '-';
        case U'．':
            return '.';
        default:
            return ch < 0x80 ? static_cast<char>(ch) : '\x01';  // ends any number
    }
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

double ReferenceNumber(std::u32string_view field) {
    std::string text;
    for (char32_t ch : field) {
        if (!IsSpace(ch) && ch != U'\t' && ch != U'\n') {
            text.push_back(ReferenceAscii(ch));
        }
    }
    text.push_back('\x01');
    if (text[0] == '&' && (text[1] == 'H' || text[1] == 'h' || text[1] == 'O' || text[1] == 'o')) {
        int radix = (text[1] == 'H' || text[1] == 'h') ? 16 : 8;
        double value = 0;
        for (size_t i = 2;; ++i) {
            char ch = text[i];
            int digit = IsDigit(ch)                ? ch - '0'
                        : (ch >= 'a' && ch <= 'f') ? ch - 'a' + 10
                        : (ch >= 'A' && ch <= 'F') ? ch - 'A' + 10
                                                   : 99;
            if (digit >= radix) {
                return value;
            }
            value = value * radix + digit;
        }
    }
    size_t end = 0;
    if (text[end] == '+' || text[end] == '-') {
        ++end;
    }
    size_t digits = 0;
    for (; IsDigit(text[end]); ++end) {
        ++digits;
    }
    if (text[end] == '.') {
        for (++end; IsDigit(text[end]); ++end) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (text[end] == 'e' || text[end] == 'E') {
        size_t exponent = end + 1;
        if (text[exponent] == '+' || text[exponent] == '-') {
            ++exponent;
        }
        if (IsDigit(text[exponent])) {
            for (end = exponent; IsDigit(text[end]); ++end) {
            }
        }
    }
    return std::strtod(text.substr(0, end).c_str(), nullptr);
}

// Nearest, an exact half to even (the default rounding mode); nothing outside 16 bits.
std::optional<int16_t> ReferenceRound(double value) {
    double rounded = std::nearbyint(value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) {
        return std::nullopt;
    }
    return static_cast<int16_t>(rounded);
}

struct ParseResult {
    std::optional<int> code;
    FareLineRecord record;
};

ParseResult ReferenceParse(std::u32string_view line) {
    ParseResult result;
    FareLineRecord& record = result.record;
    int column = 1;
    std::u32string field;
    for (char32_t ch : line) {
        if (ch == U'\t' || ch == U',' || ch == U'，') {
            field.clear();
            ++column;
        } else if (ch != U'"') {
            field.push_back(ch);
        }
        if (column == 1) {
            size_t first = 0;
            while (first < field.size() && IsSpace(field[first])) {
                ++first;
            }
            record.PlaceName = field.substr(first);
            continue;
        }
        if (column - 2 > conversion::kFareCount) {
            result.code = 9;
            return result;
        }
        std::optional<int16_t> value = ReferenceRound(ReferenceNumber(field));
        if (!value) {
            result.code = 6;
            return result;
        }
        (column == 2 ? record.ZoneNumber : record.Fares[static_cast<size_t>(column - 3)]) = *value;
    }
    return result;
}

ParseResult Parse(std::u32string_view line) {
    ParseResult result;
    try {
        result.record = conversion::ParseFareLine(line);
    } catch (const platform::RunError& error) {
        result.code = error.code();
    }
    return result;
}

[[noreturn]] void Disagree(const char* what) {
    std::fprintf(stderr, "disagreement: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<std::u32string> line = TextFromInput(data, size);
    if (!line) {
        return 0;
    }

    double value = conversion::NumericPrefixValue(*line);
    double expected = ReferenceNumber(*line);
    if (!(value == expected || (std::isnan(value) && std::isnan(expected)))) {
        std::fprintf(stderr, "NumericPrefixValue %.17g, expected %.17g\n", value, expected);
        Disagree("NumericPrefixValue");
    }

    ParseResult parsed = Parse(*line);
    if (parsed.code && *parsed.code != 6 && *parsed.code != 9) {
        Disagree("ParseFareLine failed with a code other than 6 or 9");
    }
    if (line->size() > kLongestComparedLine) {
        return 0;
    }
    ParseResult reference = ReferenceParse(*line);
    if (parsed.code != reference.code) {
        std::fprintf(stderr, "code %d, expected %d\n", parsed.code.value_or(0),
                     reference.code.value_or(0));
        Disagree("ParseFareLine's failure");
    }
    if (!parsed.code && !(parsed.record == reference.record)) {
        Disagree("ParseFareLine's record");
    }
    return 0;
}
