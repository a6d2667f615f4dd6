#include "fare_model/field_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "fare_model/text_rules.h"
#include "fare_model/unicode.h"

namespace fare_model {
namespace {

constexpr int kLastColumn = kFareCount + 2;

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

// Marks that may follow a fare without changing what it means: 150円, 150¥. Code page 932
// shows the backslash as the yen sign.
bool IsCurrencyMark(char32_t ch) {
    return ch == U'円' || ch == U'\u00A5' || ch == U'\uFFE5' || ch == U'\\';
}

// One notice a row for each kind met in its fields: a header row has 150 text fields.
void Count(Notice& notice, Notice::Kind kind, int column, std::string text, int value) {
    if (notice.count++ == 0) {
        notice.kind = kind;
        notice.field = column;
        notice.text = std::move(text);
        notice.value = value;
    }
}

// The shortest decimal text that reads back as `number`: what a spreadsheet shows for it.
std::u32string NumberText(double number) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::u32string(buffer, result.ptr);
}

}  // namespace

std::string Shown(std::u32string_view text) {
    while (!text.empty() && IsIgnoredInNumber(text.back())) {
        text.remove_suffix(1);
    }
    if (text.size() > kShownCharacters) {
        return EncodeUtf8(text.substr(0, kShownCharacters)) + "…";
    }
    return EncodeUtf8(text);
}

double NumericPrefixValue(std::u32string_view text) {
    LeadingNumberReader reader;
    for (char32_t ch : text) {
        reader.Feed(ch);
    }
    return reader.Value();
}

void FareFieldReader::AddText(std::u32string_view characters) {
    if (column_ == 1) {
        for (char32_t ch : characters) {
            AddToPlaceName(ch);
        }
        return;
    }
    // Spaces never change a number: runs of them, the commonest filler, are passed over.
    const auto notSpace = [](char32_t ch) { return ch != U' '; };
    for (auto at = std::find_if(characters.begin(), characters.end(), notSpace);
         at != characters.end(); at = std::find_if(at + 1, characters.end(), notSpace)) {
        AddToNumber(*at);
    }
}

void FareFieldReader::AddCell(const FieldCell& cell) {
    if (cellsGiven_) {
        NextField();
    }
    cellsGiven_ = true;
    switch (cell.kind) {
        case FieldCell::Kind::kText:
            AddText(cell.text);
            return;
        case FieldCell::Kind::kNumber:
            // A whole number that fits reads as its digits would, with nothing to tell: it is
            // stored at once (a workbook holds tens of thousands of them).
            if (column_ >= 2 && cell.number == std::trunc(cell.number) && cell.number >= -32768 &&
                cell.number <= 32767) {
                Store(static_cast<int16_t>(cell.number));
                return;
            }
            AddText(NumberText(cell.number));
            return;
        case FieldCell::Kind::kBoolean:
        case FieldCell::Kind::kDate:
            // A place name takes the cell as shown; read as a number it would put a fare on
            // the bus that no one wrote (2025 for 2025/04/01, 45748 for its serial number).
            if (column_ == 1) {
                AddText(cell.text);
                return;
            }
            throw RunError(error_code::kTypeMismatch, cell.kind == FieldCell::Kind::kDate
                                                          ? Reason::kDateInNumberCell
                                                          : Reason::kBooleanInNumberCell)
                .WithText(Shown(cell.text))
                .WithField(column_);
        case FieldCell::Kind::kError:
            throw RunError(error_code::kTypeMismatch, Reason::kFormulaError)
                .WithText(Shown(cell.text))
                .WithField(column_);
        case FieldCell::Kind::kNoResult:
            throw RunError(error_code::kTypeMismatch, Reason::kFormulaWithoutResult)
                .WithField(column_);
        case FieldCell::Kind::kEmpty:
            return;
    }
}

void FareFieldReader::AddToPlaceName(char32_t ch) {
    // Leading spaces are removed; trailing ones stay.
    if (record_.PlaceName.empty() && IsSpace(ch)) {
        return;
    }
    placeNameBytes_ += Cp932Length(ch);
    if (boundsPlaceName_ && placeNameBytes_ > kLongestPlaceName) {
        throw RunError(error_code::kOverflow, Reason::kPlaceNameTooLong).WithField(1);
    }
    record_.PlaceName.push_back(ch);
}

void FareFieldReader::Store(int16_t value) {
    if (column_ == 2) {
        record_.ZoneNumber = value;
    } else {
        record_.Fares[static_cast<size_t>(column_ - 3)] = value;
    }
}

void FareFieldReader::AddToNumber(char32_t ch) {
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
        Store(value);
    } else if (number_.Stopped() && !IsCurrencyMark(ch)) {
        fieldHasText_ = true;
    }
}

void FareFieldReader::NextField() {
    EndField();
    ++column_;
    // The field that opens here is empty, and an empty field reads as 0, as the record
    // already holds; only a field beyond the last fare is an error.
    if (column_ > kLastColumn) {
        throw Explained(RunError(error_code::kSubscriptOutOfRange));
    }
    number_ = LeadingNumberReader();
    fieldText_.clear();
    fieldHasCharacters_ = false;
    fieldHasText_ = false;
}

void FareFieldReader::EndField() {
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

RunError FareFieldReader::Explained(const RunError& error) const {
    if (error.code() == error_code::kSubscriptOutOfRange) {
        return error.WithField(column_).WithReason(Reason::kTooManyFields).WithNumber(column_);
    }
    return error.WithField(column_).WithReason(Reason::kOutOfRange).WithText(Shown(fieldText_));
}

FareLineRecord FareFieldReader::Finish() {
    EndField();
    Notices notices;
    for (const Notice* counted : {&textNotice_, &roundedNotice_}) {
        if (counted->count > 0) {
            notices.push_back(*counted);
        }
    }
    FareLineRecord record = std::move(record_);
    *this = FareFieldReader(boundsPlaceName_);
    finishedNotices_ = std::move(notices);
    return record;
}

}  // namespace fare_model
