#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fare_model {

// Something a table loses or misreads on the way although the bytes written follow the
// display unit's rules exactly: the user must be told, since the fares on the bus may then
// not be those the file holds.
struct Notice {
    enum class Kind {
        // Rows beyond the 301st: `line` is the first row left out, `count` how many.
        kRowsBeyondLimit,
        // The first blank line ended the table though non-blank lines follow it: `line` is
        // the blank line, `count` the non-blank lines after it (at least; the look-ahead is
        // bounded).
        kRowsAfterBlankLine,
        // A zone or fare field whose text is not wholly a number: `field` and `text` are the
        // first such field of the line, `value` what it read, `count` how many such fields the
        // line has (a header row makes one notice, not 150).
        kTextInNumber,
        // Quotes that held a separator, so that a quoted value became several fields: `field`
        // is where the quoted text starts, `text` the quoted text as written, `count` how many
        // fields it became and `parts` what those beside the place name read as.
        kQuotedSeparator,
        // A value with a fraction, rounded: `text` as written, `value` as stored.
        kRounded,
        // A row of separators and spaces only, as a spreadsheet writes an empty row.
        kEmptyRow,
        // A row whose zone and other fields are all text, none a number: `text` is its name.
        kHeaderRow,
        // A place name whose letters became "?" (`text`, the name).
        kLostLetters,
        // A control character (`value`, its code) in `field`; the first of the row.
        kControlCharacter,
        // A row that is only the end-of-file mark of old editors, Ctrl-Z.
        kEndOfFileMark,
        // A row of NUL bytes only, as a damaged file ends.
        kZeroFilledTail,
        // A spreadsheet row hidden or filtered out, converted as the spreadsheet's own CSV
        // export converts it.
        kHiddenRow,
        // A hidden spreadsheet column that holds values of the table: `field` and `cell`
        // ("運賃!D:D").
        kHiddenColumn,
        // A workbook of several sheets converted the first (`text`); `names` are its sheets.
        kSheetChosen,
        // The table starts below or right of the sheet's first cell (`cell`, "運賃!B3"): the
        // empty rows and columns before it were passed over.
        kTableStartsLater,
    };

    Kind kind = Kind::kTextInNumber;
    int line = 0;              // counted from 1
    std::optional<int> field;  // 1 is the place name, 2 the zone, 3 the first fare
    std::string text;          // UTF-8, the field's text as written (shortened if long)
    int value = 0;             // the value the field was read as
    int count = 1;
    std::vector<int> parts{};
    // Where the source shows the row or field its own way, for example "運賃!C12"; empty for
    // a text file.
    std::string cell{};
    std::vector<std::string> names{};

    friend bool operator==(const Notice&, const Notice&) = default;
};

using Notices = std::vector<Notice>;

}  // namespace fare_model
