#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fare_model/run_error.h"
#include "fare_model/text_rules.h"

// The lenient number reader behind zone numbers and fares, kept apart from the line parser.
namespace fare_model {

// Significant digits kept for NumericPrefixValue's double; rounding needs only the first six
// and where the last non-zero digit stands. Telling which of two neighbouring doubles a
// decimal is nearer can take up to 767 digits, as a halfway point between them has.
inline constexpr size_t kKeptDigits = 800;
inline constexpr int64_t kExponentLimit = 1'000'000'000;
inline constexpr int64_t kRadixLimit = int64_t{1} << 48;
inline bool IsIgnoredInNumber(char32_t ch) {
    return IsSpace(ch) || ch == U'\t' || ch == U'\n';
}

// Users typing with a Japanese input method produce full-width digits, signs and points.
inline char32_t ToHalfWidth(char32_t ch) {
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

inline bool IsDigit(char32_t ch) {
    return ch >= U'0' && ch <= U'9';
}

inline int HexDigitValue(char32_t ch) {
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

inline char32_t ToUpperAscii(char32_t ch) {
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
                radixValue_ = std::min(radixValue_ * radix_ + digit, kRadixLimit);
                sawDigit_ = true;
                return true;
            }
            case State::kDone:
                return false;
        }
        return false;
    }

    // Whether the text read holds a number at all: a sign, a point or "&H" alone do not.
    bool HasNumber() const { return sawDigit_; }
    // Whether reading has stopped at a character that cannot continue the number.
    bool Stopped() const { return state_ == State::kDone; }
    // Whether the text ends in a part that began a number but adds nothing: "1E", "1E+", "&".
    bool EndsUnfinished() const {
        return state_ == State::kExponentMark || state_ == State::kExponentSign ||
               state_ == State::kRadixMark;
    }
    // Whether the value read is a whole number, so that rounding it changed nothing.
    bool IsWhole() const {
        return radix_ != 0 || significantDigits_ == 0 || lastNonZeroDigit_ < Power();
    }

    // The value read so far as a real number (for NumericPrefixValue).
    double Value() const {
        if (radix_ != 0) {
            return static_cast<double>(radixValue_);
        }
        if (significantDigits_ == 0) {
            return negative_ ? -0.0 : 0.0;
        }
        int64_t power = Power();
        // Far beyond any double, either way: the text itself would only grow long.
        if (power > 100'000) {
            return negative_ ? -HUGE_VAL : HUGE_VAL;
        }
        if (power < -100'000) {
            return negative_ ? -0.0 : 0.0;
        }
        std::string text = negative_ ? "-0." : "0.";
        text += digits_;
        if (lastNonZeroDigit_ >= static_cast<int64_t>(kKeptDigits)) {
            text += '1';
        }
        text += 'e';
        text += std::to_string(power);
        return std::strtod(text.c_str(), nullptr);
    }

    // The value read so far rounded to the nearest integer, an exact half to the even one.
    // The rounding is done on the decimal digits themselves, so it is exact however many
    // digits there are and costs the same for every character. Code 6 outside 16 bits.
    int16_t RoundedValue() const {
        int64_t magnitude = 0;
        if (radix_ != 0) {
            magnitude = radixValue_;
        } else if (significantDigits_ > 0) {
            int64_t power = Power();
            if (power > 5) {
                throw RunError(error_code::kOverflow);  // 100000 or more
            }
            if (power >= 0) {  // below 0.1 it rounds to 0
                for (int64_t at = 0; at < power; ++at) {
                    magnitude = magnitude * 10 + DigitAt(at);
                }
                int firstFractionDigit = DigitAt(power);
                bool restNonZero = lastNonZeroDigit_ > power;
                if (firstFractionDigit > 5 ||
                    (firstFractionDigit == 5 && (restNonZero || magnitude % 2 == 1))) {
                    ++magnitude;
                }
            }
        }
        if (magnitude > (negative_ ? -int64_t{INT16_MIN} : int64_t{INT16_MAX})) {
            throw RunError(error_code::kOverflow);
        }
        return static_cast<int16_t>(negative_ ? -magnitude : magnitude);
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

    int64_t Power() const {
        return scale_ + (exponentNegative_ ? -exponentValue_ : exponentValue_);
    }

    int DigitAt(int64_t index) const {
        return index < static_cast<int64_t>(digits_.size())
                   ? digits_[static_cast<size_t>(index)] - '0'
                   : 0;
    }

    bool AddSignificantDigit(char32_t ch) {
        if (ch != U'0') {
            lastNonZeroDigit_ = significantDigits_;
        }
        if (digits_.size() < kKeptDigits) {
            digits_.push_back(static_cast<char>(ch));
        }
        ++significantDigits_;
        return true;
    }

    bool AddIntegerDigit(char32_t ch) {
        sawDigit_ = true;
        if (significantDigits_ == 0 && ch == U'0') {
            return false;  // leading zeros change nothing
        }
        ++scale_;
        return AddSignificantDigit(ch);
    }

    bool AddFractionDigit(char32_t ch) {
        sawDigit_ = true;
        if (significantDigits_ == 0 && ch == U'0') {
            --scale_;
            return false;  // still zero
        }
        return AddSignificantDigit(ch);
    }

    bool AddExponentDigit(char32_t ch) {
        int64_t before = exponentValue_;
        exponentValue_ =
            std::min(exponentValue_ * 10 + static_cast<int64_t>(ch - U'0'), kExponentLimit);
        return exponentValue_ != before && significantDigits_ > 0;
    }

    State state_ = State::kStart;
    bool negative_ = false;
    // The decimal number is 0.d1d2d3... times ten to the power Power(); digits_ keeps the
    // first of the significant digits, enough for rounding and for a double.
    std::string digits_;
    int64_t significantDigits_ = 0;
    int64_t lastNonZeroDigit_ = -1;
    int64_t scale_ = 0;
    int64_t exponentValue_ = 0;
    bool exponentNegative_ = false;
    int radix_ = 0;
    int64_t radixValue_ = 0;
    bool sawDigit_ = false;
};

}  // namespace fare_model
