#pragma once

#include <string>
#include <string_view>

#include "fare_model/fare_line_record.h"
#include "fare_model/leading_number_reader.h"
#include "fare_model/notice.h"
#include "fare_model/run_error.h"

namespace fare_model {

// One cell of a source that already has its fields (a spreadsheet row): a comma in it is data.
struct FieldCell {
    enum class Kind {
        kText,      // read as text is read from a line: `text`
        kNumber,    // `number`, read as its shortest decimal text
        kEmpty,     // reads as 0, as an empty field does
        kBoolean,   // `text` as the spreadsheet shows it ("TRUE")
        kError,     // a formula's error: `text` as the spreadsheet shows it ("#DIV/0!")
        kDate,      // a date or a time: `text` as the spreadsheet shows it ("2025/04/01")
        kNoResult,  // a formula without a stored result
    };
    Kind kind = Kind::kEmpty;
    std::u32string_view text;
    double number = 0;
};

// Turns the fields of one row into a record with its notices, one field at a time: field 1 is
// the place name, field 2 the zone, fields 3 to 152 the fares. A field comes either as text,
// in pieces of any size (AddText, then NextField to open the next one), or as a whole cell
// (AddCell). A number is read again after every character, so that a leading part that does
// not fit 16 bits fails at once. Throws RunError with code 6 where a number (or a
// leading part of one) does not fit 16 bits or (when bounded) the place name is over 65535
// bytes in code page 932, code 9 for a field beyond the 152nd, and code 13 for a cell whose
// value is no number where one is read (a date, a truth value) or that has no value at all (a
// formula's error, a formula without a result); field() names the field.
class FareFieldReader {
  public:
    // Unbounded only where the caller holds the whole line anyway; the data file still
    // refuses a name that long.
    explicit FareFieldReader(bool boundsPlaceName = true) : boundsPlaceName_(boundsPlaceName) {}

    // Characters of the current field, as written.
    void AddText(std::u32string_view characters);
    // Ends the current field and opens the next one, empty.
    void NextField();
    // Reads `cell` as the row's next field: the first call reads field 1.
    void AddCell(const FieldCell& cell);
    int column() const { return column_; }

    // The record of the fields given since the last Finish; the reader starts afresh.
    FareLineRecord Finish();
    // What the fields given before the last Finish lost or misread, without the row's line
    // number, which is the caller's.
    Notices TakeNotices() { return std::move(finishedNotices_); }

  private:
    static Notice Uncounted() {
        Notice notice;
        notice.count = 0;
        return notice;
    }
    void AddToPlaceName(char32_t ch);
    void AddToNumber(char32_t ch);
    // Puts a number field's value in the record: the zone, or a fare.
    void Store(int16_t value);
    void EndField();
    RunError Explained(const RunError& error) const;

    bool boundsPlaceName_;
    FareLineRecord record_;
    int column_ = 1;
    bool cellsGiven_ = false;
    size_t placeNameBytes_ = 0;
    LeadingNumberReader number_;

    // What is watched for notices: the current field's first characters and whether text
    // stands in it beside the number.
    std::u32string fieldText_;
    bool fieldHasCharacters_ = false;
    bool fieldHasText_ = false;
    // Counted per row: 0 until a field of the kind is met.
    Notice textNotice_ = Uncounted();
    Notice roundedNotice_ = Uncounted();
    Notices finishedNotices_;
};

// Enough of a field's text to recognise it in a message.
inline constexpr size_t kShownCharacters = 24;
// The text as a message quotes it: trailing spaces dropped, cut after kShownCharacters.
std::string Shown(std::u32string_view text);
inline void AppendShown(std::u32string& text, char32_t ch) {
    if (text.size() <= kShownCharacters) {
        text.push_back(ch);
    }
}

}  // namespace fare_model
