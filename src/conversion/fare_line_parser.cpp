#include "conversion/fare_line_parser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "conversion/leading_number_reader.h"
#include "conversion/text_rules.h"
#include "platform/os/run_error.h"

namespace conversion {
namespace {

using platform::RunError;

constexpr int kLastColumn = kFareCount + 2;

bool IsSeparator(char32_t ch) {
    return ch == U'\t' || ch == U',' || ch == U'\uFF0C';
}

constexpr size_t kLongestPlaceName = UINT16_MAX;  // bytes: the length field is 16 bits

// The bytes code page 932 takes for a character: one for ASCII, the yen sign, the overline
// and half-width katakana, none for the tag characters it drops, two for every other one it
// can write. A character it cannot write fails later with code 5.
size_t Cp932Length(char32_t ch) {
    if (ch < 0x80 || ch == U'\u00A5' || ch == U'\u203E' || (ch >= U'\uFF61' && ch <= U'\uFF9F')) {
        return 1;
    }
    if (ch >= U'\U000E0000' && ch <= U'\U000E007F') {
        return 0;
    }
    return 2;
}

}  // namespace

double NumericPrefixValue(std::u32string_view text) {
    LeadingNumberReader reader;
    for (char32_t ch : text) {
        reader.Feed(ch);
    }
    return reader.Value();
}

void FareLineParser::AddToPlaceName(char32_t ch) {
    // Leading spaces are removed; trailing ones stay.
    if (record_.PlaceName.empty() && IsSpace(ch)) {
        return;
    }
    placeNameBytes_ += Cp932Length(ch);
    if (boundsPlaceName_ && placeNameBytes_ > kLongestPlaceName) {
        throw RunError(platform::error_code::kOverflow);
    }
    record_.PlaceName.push_back(ch);
}

void FareLineParser::Feed(std::u32string_view line) {
    for (size_t at = 0; at < line.size(); ++at) {
        char32_t ch = line[at];
        if (IsSeparator(ch)) {
            ++column_;
            // The field that opens here is empty, and an empty field reads as 0, as the
            // record already holds; only a field beyond the last fare is an error.
            if (column_ > kLastColumn) {
                throw RunError(platform::error_code::kSubscriptOutOfRange);
            }
            number_ = LeadingNumberReader();
            continue;
        }
        if (ch == U'"') {
            continue;  // quotes never group; they just vanish
        }
        if (column_ == 1) {
            AddToPlaceName(ch);
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
        if (number_.Feed(ch)) {
            int16_t value = number_.RoundedValue();
            if (column_ == 2) {
                record_.ZoneNumber = value;
            } else {
                record_.Fares[static_cast<size_t>(column_ - 3)] = value;
            }
        }
    }
}

FareLineRecord FareLineParser::Finish() {
    FareLineRecord record = std::move(record_);
    *this = FareLineParser(boundsPlaceName_);
    return record;
}

FareLineRecord ParseFareLine(std::u32string_view line) {
    FareLineParser parser(false);
    parser.Feed(line);
    return parser.Finish();
}

}  // namespace conversion
