#include "conversion/fare_line_parser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/run_error.h"

namespace conversion {
namespace {

using platform::RunError;

constexpr int kLastColumn = kFareCount + 2;
// Deciding which of two neighbouring doubles a decimal is nearer can take up to 767
// significant digits (a halfway point between two doubles has that many); beyond them only
// whether the rest is zero matters.
constexpr size_t kSignificantDigits = 800;
constexpr int64_t kExponentLimit = 1'000'000'000;

bool IsSeparator(char32_t ch) {
    return ch == U'\t' || ch == U',' || ch == U'\uFF0C';
}

bool IsSpace(char32_t ch) {
    return ch == U' ' || ch == U'\u3000';
}

bool IsIgnoredInNumber(char32_t ch) {
    return IsSpace(ch) || ch == U'\t' || ch == U'\n';
}

// Users typing with a Japanese input method produce full-width digits, signs and points.
char32_t ToHalfWidth(char32_t ch) {
    if (ch >= U'０' && ch <= U'９') {
        return U'0' + (ch - U'０');
    }
    switch (ch) {
        case U'＋':
            return U'+';
        case U'－':
            return U'-';
        case U'．':
            return U'.';
        default:
            return ch;
    }
}

bool IsDigit(char32_t ch) {
    return ch >= U'0' && ch <= U'9';
}

int HexDigitValue(char32_t ch) {
    if (IsDigit(ch)) {
        return static_cast<int>(ch - U'0');
    }
    if (ch >= U'a' && ch <= U'f') {
        return static_cast<int>(ch - U'a') + 10;
    }
    if (ch >= U'A' && ch <= U'F') {
        return static_cast<int>(ch - U'A') + 10;
    }
    return -1;
}

char32_t ToUpperAscii(char32_t ch) {
    return ch >= U'a' && ch <= U'z' ? ch - U'a' + U'A' : ch;
}

// Reads the longest leading number of a field one character at a time, so that the value of
// every leading part is known without reading the field again.
class LeadingNumberReader {
  public:
    // Takes the next character of the field; true where the value may have changed.
    bool Feed(char32_t raw) {
        if (IsIgnoredInNumber(raw)) {
            return false;
        }
        char32_t ch = ToHalfWidth(raw);
        switch (state_) {
            case State::kStart:
                if (ch == U'+' || ch == U'-') {
                    negative_ = ch == U'-';
                    state_ = State::kSign;
                    return false;
                }
                if (ch == U'&') {
                    state_ = State::kRadixMark;
                    return false;
                }
                [[fallthrough]];
            case State::kSign:
                if (IsDigit(ch)) {
                    state_ = State::kInteger;
                    return AddIntegerDigit(ch);
                }
                if (ch == U'.') {
                    state_ = State::kFraction;
                    return false;
                }
                return Stop();
            case State::kInteger:
                if (IsDigit(ch)) {
                    return AddIntegerDigit(ch);
                }
                if (ch == U'.') {
                    state_ = State::kFraction;
                    return false;
                }
                return StartExponentOrStop(ch);
            case State::kFraction:
                if (IsDigit(ch)) {
                    return AddFractionDigit(ch);
                }
                return StartExponentOrStop(ch);
            case State::kExponentMark:
                if (ch == U'+' || ch == U'-') {
                    exponentNegative_ = ch == U'-';
                    state_ = State::kExponentSign;
                    return false;
                }
                [[fallthrough]];
            case State::kExponentSign:
            case State::kExponent:
                if (IsDigit(ch)) {
                    state_ = State::kExponent;
                    return AddExponentDigit(ch);
                }
                return Stop();
            case State::kRadixMark:
                if (ToUpperAscii(ch) == U'H') {
                    state_ = State::kHex;
                    radix_ = 16;
                    return false;
                }
                if (ToUpperAscii(ch) == U'O') {
                    state_ = State::kOctal;
                    radix_ = 8;
                    return false;
                }
                return Stop();
            case State::kHex:
            case State::kOctal: {
                int digit = HexDigitValue(ch);
                if (digit < 0 || digit >= radix_) {
                    return Stop();
                }
                radixValue_ = radixValue_ * radix_ + digit;
                return true;
            }
            case State::kDone:
                return false;
        }
        return false;
    }

    double Value() const {
        if (radix_ != 0) {
            return radixValue_;
        }
        if (digits_.empty()) {
            return negative_ ? -0.0 : 0.0;
        }
        if (!hasFractionOrExponent_ && integerExact_) {
            return negative_ ? -static_cast<double>(integerValue_)
                             : static_cast<double>(integerValue_);
        }
        int64_t exponent = exponentNegative_ ? -exponentValue_ : exponentValue_;
        int64_t power = scale_ + exponent;
        // Far beyond any double, either way: the text itself would only grow long.
        if (power > 100'000) {
            return negative_ ? -HUGE_VAL : HUGE_VAL;
        }
        if (power < -100'000) {
            return negative_ ? -0.0 : 0.0;
        }
        std::string text = negative_ ? "-0." : "0.";
        text += digits_;
        if (droppedNonZero_) {
            text += '1';
        }
        text += 'e';
        text += std::to_string(power);
        return std::strtod(text.c_str(), nullptr);
    }

  private:
    enum class State {
        kStart,
        kSign,
        kInteger,
        kFraction,
        kExponentMark,
        kExponentSign,
        kExponent,
        kRadixMark,
        kHex,
        kOctal,
        kDone
    };

    bool Stop() {
        state_ = State::kDone;
        return false;
    }

    bool StartExponentOrStop(char32_t ch) {
        if (ToUpperAscii(ch) == U'E') {
            state_ = State::kExponentMark;
            return false;
        }
        return Stop();
    }

    bool AddSignificantDigit(char32_t ch) {
        if (digits_.size() < kSignificantDigits) {
            digits_.push_back(static_cast<char>(ch));
            return true;
        }
        if (ch != U'0' && !droppedNonZero_) {
            droppedNonZero_ = true;
            return true;
        }
        return false;
    }

    bool AddIntegerDigit(char32_t ch) {
        if (digits_.empty() && ch == U'0') {
            return false;  // leading zeros change nothing
        }
        ++scale_;
        if (integerExact_) {
            integerValue_ = integerValue_ * 10 + static_cast<int64_t>(ch - U'0');
            integerExact_ = integerValue_ < (int64_t{1} << 53) / 10;
        }
        AddSignificantDigit(ch);
        return true;
    }

    bool AddFractionDigit(char32_t ch) {
        hasFractionOrExponent_ = true;
        if (digits_.empty() && ch == U'0') {
            --scale_;
            return false;  // still zero
        }
        return AddSignificantDigit(ch);
    }

    bool AddExponentDigit(char32_t ch) {
        hasFractionOrExponent_ = true;
        int64_t before = exponentValue_;
        exponentValue_ =
            std::min(exponentValue_ * 10 + static_cast<int64_t>(ch - U'0'), kExponentLimit);
        return exponentValue_ != before && !digits_.empty();
    }

    State state_ = State::kStart;
    bool negative_ = false;
    // The decimal number is 0.digits_ times ten to the power scale_ + exponent.
    std::string digits_;
    bool droppedNonZero_ = false;
    int64_t scale_ = 0;
    int64_t integerValue_ = 0;
    bool integerExact_ = true;
    bool hasFractionOrExponent_ = false;
    int64_t exponentValue_ = 0;
    bool exponentNegative_ = false;
    int radix_ = 0;
    double radixValue_ = 0;
};

// Nearest integer, an exact half to the even one; code 6 outside 16 bits.
int16_t RoundToInt16(double value) {
    double floor = std::floor(value);
    double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) {
        rounded = floor + 1.0;
    }
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) {
        throw RunError(platform::error_code::kOverflow);
    }
    return static_cast<int16_t>(rounded);
}

std::u32string WithoutLeadingSpaces(std::u32string text) {
    size_t first = 0;
    while (first < text.size() && IsSpace(text[first])) {
        ++first;
    }
    text.erase(0, first);
    return text;
}

}  // namespace

double NumericPrefixValue(std::u32string_view text) {
    LeadingNumberReader reader;
    for (char32_t ch : text) {
        reader.Feed(ch);
    }
    return reader.Value();
}

FareLineRecord ParseFareLine(std::u32string_view line) {
    FareLineRecord record;
    int column = 1;
    std::u32string placeName;
    LeadingNumberReader number;
    for (size_t at = 0; at < line.size(); ++at) {
        char32_t ch = line[at];
        if (IsSeparator(ch)) {
            ++column;
            // The field that opens here is empty, and an empty field reads as 0, as the
            // record already holds; only a field beyond the last fare is an error.
            if (column > kLastColumn) {
                throw RunError(platform::error_code::kSubscriptOutOfRange);
            }
            number = LeadingNumberReader();
            continue;
        }
        if (ch == U'"') {
            continue;  // quotes never group; they just vanish
        }
        if (column == 1) {
            placeName.push_back(ch);
            continue;
        }
        // Spaces never change a number: runs of them, the commonest filler, are passed over.
        if (ch == U' ') {
            while (at + 1 < line.size() && line[at + 1] == U' ') {
                ++at;
            }
            continue;
        }
        // Every leading part of the number must fit, so the value is checked after every
        // character that may change it.
        if (number.Feed(ch)) {
            int16_t value = RoundToInt16(number.Value());
            if (column == 2) {
                record.ZoneNumber = value;
            } else {
                record.Fares[static_cast<size_t>(column - 3)] = value;
            }
        }
    }
    record.PlaceName = WithoutLeadingSpaces(std::move(placeName));
    return record;
}

}  // namespace conversion
