// Feeds ParseFareLine and NumericPrefixValue arbitrary decoded text and compares them with a
// plain reading of the rules: the field is read again after every character, a number is
// rounded on the digits that spell it, and NumericPrefixValue gives what the C library reads
// from those characters. The fast parser must agree with
// that reading on every line, and fail only with code 6 or 9.
//
// The first byte of an input picks how the rest becomes text: 0 as UTF-8, 1 as UTF-32 (each
// four bytes one character), 2 as one character per byte from the characters that matter to
// the parser.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fare_model/fare_line_parser.h"
#include "fare_model/run_error.h"
#include "platform/os/code_page.h"

namespace {

using fare_model::FareLineRecord;

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

// A number as its characters spell it: the decimal digits before and after the point and the
// exponent, or a whole number in base 16 or 8.
struct SpelledNumber {
    bool negative = false;
    std::string integerDigits;
    std::string fractionDigits;
    std::string text;  // what the C library reads
    int64_t exponent = 0;
    int radix = 0;
    double radixValue = 0;
};

// Beyond this the exponent only says "very large" or "very small".
constexpr int64_t kExponentCap = 100'000'000;

SpelledNumber Spell(std::u32string_view field) {
    std::string text;
    for (char32_t ch : field) {
        if (!IsSpace(ch) && ch != U'\t' && ch != U'\n') {
            text.push_back(ReferenceAscii(ch));
        }
    }
    text.push_back('\x01');
    SpelledNumber number;
    if (text[0] == '&' && (text[1] == 'H' || text[1] == 'h' || text[1] == 'O' || text[1] == 'o')) {
        number.radix = (text[1] == 'H' || text[1] == 'h') ? 16 : 8;
        for (size_t i = 2;; ++i) {
            char ch = text[i];
            int digit = IsDigit(ch)                ? ch - '0'
                        : (ch >= 'a' && ch <= 'f') ? ch - 'a' + 10
                        : (ch >= 'A' && ch <= 'F') ? ch - 'A' + 10
                                                   : 99;
            if (digit >= number.radix) {
                return number;
            }
            // The reader keeps whole numbers in 64 bits and stops counting at 2^48, far beyond
            // any fare; the comparison follows it there.
            number.radixValue = std::min(number.radixValue * number.radix + digit, 0x1p48);
        }
    }
    size_t end = 0;
    if (text[end] == '+' || text[end] == '-') {
        number.negative = text[end] == '-';
        ++end;
    }
    for (; IsDigit(text[end]); ++end) {
        number.integerDigits.push_back(text[end]);
    }
    if (text[end] == '.') {
        for (++end; IsDigit(text[end]); ++end) {
            number.fractionDigits.push_back(text[end]);
        }
    }
    if (number.integerDigits.empty() && number.fractionDigits.empty()) {
        return number;
    }
    if (text[end] == 'e' || text[end] == 'E') {
        size_t at = end + 1;
        bool negative = text[at] == '-';
        if (text[at] == '+' || text[at] == '-') {
            ++at;
        }
        if (IsDigit(text[at])) {
            for (end = at; IsDigit(text[end]); ++end) {
                number.exponent =
                    std::min<int64_t>(number.exponent * 10 + (text[end] - '0'), kExponentCap);
            }
            number.exponent = negative ? -number.exponent : number.exponent;
        }
    }
    number.text = text.substr(0, end);
    return number;
}

double ReferenceNumber(std::u32string_view field) {
    SpelledNumber number = Spell(field);
    if (number.radix != 0) {
        return number.radixValue;
    }
    return number.text.empty() ? 0.0 : std::strtod(number.text.c_str(), nullptr);
}

// The number rounded on its decimal digits, an exact half to even; nothing outside 16 bits.
std::optional<int16_t> ReferenceRound(std::u32string_view field) {
    SpelledNumber number = Spell(field);
    int64_t magnitude = 0;
    if (number.radix != 0) {
        if (number.radixValue > 32767) {
            return std::nullopt;
        }
        return static_cast<int16_t>(number.radixValue);
    }
    std::string digits = number.integerDigits + number.fractionDigits;
    if (digits.find_first_not_of('0') != std::string::npos) {
        // The point stands after `point` digits; shift the digits so that it stands inside.
        int64_t point = static_cast<int64_t>(number.integerDigits.size()) + number.exponent;
        if (point < 0) {
            return 0;  // below 0.1: rounds to 0
        }
        if (point > static_cast<int64_t>(digits.size()) + 6) {
            return std::nullopt;
        }
        digits.resize(std::max<size_t>(digits.size(), static_cast<size_t>(point) + 1), '0');
        std::string whole = digits.substr(0, static_cast<size_t>(point));
        std::string fraction = digits.substr(static_cast<size_t>(point));
        whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
        if (whole.size() > 6) {
            return std::nullopt;
        }
        magnitude = whole.empty() ? 0 : std::stoll(whole);
        bool restNonZero = fraction.find_first_not_of('0', 1) != std::string::npos;
        if (fraction[0] > '5' || (fraction[0] == '5' && (restNonZero || magnitude % 2 == 1))) {
            ++magnitude;
        }
    }
    int64_t value = number.negative ? -magnitude : magnitude;
    if (value < INT16_MIN || value > INT16_MAX) {
        return std::nullopt;
    }
    return static_cast<int16_t>(value);
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
        if (column - 2 > fare_model::kFareCount) {
            result.code = 9;
            return result;
        }
        std::optional<int16_t> value = ReferenceRound(field);
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
        result.record = fare_model::ParseFareLine(line);
    } catch (const fare_model::RunError& error) {
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

    double value = fare_model::NumericPrefixValue(*line);
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
