#include "conversion/fare_line_parser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "conversion/leading_number_reader.h"
#include "conversion/text_rules.h"
#include "platform/os/code_page.h"
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

// Enough of a field's text to recognise it in a message.
constexpr size_t kShownCharacters = 24;

void AppendShown(std::u32string& text, char32_t ch) {
    if (text.size() <= kShownCharacters) {
        text.push_back(ch);
    }
}

std::string Shown(std::u32string_view text) {
    while (!text.empty() && IsIgnoredInNumber(text.back())) {
        text.remove_suffix(1);
    }
    if (text.size() > kShownCharacters) {
        return platform::EncodeUtf8(text.substr(0, kShownCharacters)) + "…";
    }
    return platform::EncodeUtf8(text);
}

// Marks that may follow a fare without changing what it means: 150円, 150¥. Code page 932
// shows the backslash as the yen sign.
bool IsCurrencyMark(char32_t ch) {
    return ch == U'円' || ch == U'\u00A5' || ch == U'\uFFE5' || ch == U'\\';
}

// One notice a line for each kind met in its fields: a header row has 150 text fields.
void Count(Notice& notice, Notice::Kind kind, int column, std::string text, int value) {
    if (notice.count++ == 0) {
        notice.kind = kind;
        notice.field = column;
        notice.text = std::move(text);
        notice.value = value;
    }
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
        throw RunError(platform::error_code::kOverflow)
            .WithField(1)
            .WithExplanation("地名が 65535 バイトを超えています。");
    }
    record_.PlaceName.push_back(ch);
}

void FareLineParser::Feed(std::u32string_view line) {
    for (size_t at = 0; at < line.size(); ++at) {
        char32_t ch = line[at];
        if (IsSeparator(ch)) {
            EndField();
            if (inQuotes_) {
                quoteHeldSeparator_ = true;
                AppendShown(quotedText_, ch);
            }
            ++column_;
            // The field that opens here is empty, and an empty field reads as 0, as the
            // record already holds; only a field beyond the last fare is an error.
            if (column_ > kLastColumn) {
                throw Explained(RunError(platform::error_code::kSubscriptOutOfRange));
            }
            StartField();
            continue;
        }
        if (ch == U'"') {
            Quote();
            continue;  // quotes never group; they just vanish
        }
        if (inQuotes_) {
            AppendShown(quotedText_, ch);
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
        AddToNumber(ch);
    }
}

void FareLineParser::AddToNumber(char32_t ch) {
    if (IsIgnoredInNumber(ch)) {
        return;
    }
    AppendShown(fieldText_, ch);
    fieldHasCharacters_ = true;
    // Every leading part of the number must fit, so the value is checked after every
    // character that may change it.
    if (number_.Feed(ch)) {
        int16_t value = 0;
        try {
            value = number_.RoundedValue();
        } catch (const RunError& error) {
            throw Explained(error);
        }
        if (column_ == 2) {
            record_.ZoneNumber = value;
        } else {
            record_.Fares[static_cast<size_t>(column_ - 3)] = value;
        }
    } else if (number_.Stopped() && !IsCurrencyMark(ch)) {
        fieldHasText_ = true;
    }
}

void FareLineParser::StartField() {
    number_ = LeadingNumberReader();
    fieldText_.clear();
    fieldHasCharacters_ = false;
    fieldHasText_ = false;
}

void FareLineParser::EndField() {
    if (column_ < 2 || !fieldHasCharacters_) {
        return;
    }
    int value = column_ == 2 ? record_.ZoneNumber : record_.Fares[static_cast<size_t>(column_ - 3)];
    if (fieldHasText_ || !number_.HasNumber() || number_.EndsUnfinished()) {
        Count(textNotice_, Notice::Kind::kTextInNumber, column_, Shown(fieldText_), value);
    } else if (!number_.IsWhole()) {
        Count(roundedNotice_, Notice::Kind::kRounded, column_, Shown(fieldText_), value);
    }
}

void FareLineParser::Quote() {
    if (!inQuotes_) {
        inQuotes_ = true;
        quoteHeldSeparator_ = false;
        quoteColumn_ = column_;
        quotedText_.assign(1, U'"');
        return;
    }
    inQuotes_ = false;
    AppendShown(quotedText_, U'"');
    if (quoteHeldSeparator_) {
        Notice notice;
        notice.kind = Notice::Kind::kQuotedSeparator;
        notice.field = quoteColumn_;
        notice.text = Shown(quotedText_);
        notices_.push_back(std::move(notice));
    }
}

RunError FareLineParser::Explained(const RunError& error) const {
    if (error.code() == platform::error_code::kSubscriptOutOfRange) {
        return error.WithField(column_).WithExplanation(
            "運賃が150個を超えています（" + std::to_string(column_) +
            "番目の欄があります。表計算ソフトで保存した行の末尾の空の列も欄に数えます）。");
    }
    return error.WithField(column_).WithExplanation("「" + Shown(fieldText_) +
                                                    "」が -32768〜32767 の範囲を超えています。");
}

FareLineRecord FareLineParser::Finish() {
    EndField();
    if (inQuotes_ && quoteHeldSeparator_) {
        inQuotes_ = false;
        Notice notice;
        notice.kind = Notice::Kind::kQuotedSeparator;
        notice.field = quoteColumn_;
        notice.text = Shown(quotedText_);
        notices_.push_back(std::move(notice));
    }
    Notices notices = std::move(notices_);
    for (const Notice* counted : {&textNotice_, &roundedNotice_}) {
        if (counted->count > 0) {
            notices.push_back(*counted);
        }
    }
    FareLineRecord record = std::move(record_);
    *this = FareLineParser(boundsPlaceName_);
    finishedNotices_ = std::move(notices);
    return record;
}

FareLineRecord ParseFareLine(std::u32string_view line) {
    FareLineParser parser(false);
    parser.Feed(line);
    return parser.Finish();
}

}  // namespace conversion
