#pragma once

#include <cstdint>
#include <string_view>

#include "conversion/fare_line_record.h"
#include "conversion/leading_number_reader.h"
#include "conversion/notice.h"
#include "platform/os/run_error.h"

// The line parser, kept apart from the window as the module "Module1".
namespace conversion {

// Turns one decoded line into a record, fed in pieces of any size so that a line need never
// be held whole: its state is the record, the field's number reader and the place name, which
// is bounded by the 65535 bytes the data file can hold. Throws platform::RunError with code 6
// where a number (or a leading part of one) does not fit 16 bits or (when bounded) the place
// name is over 65535 bytes in code page 932, and code 9 where the line has more than 152
// fields.
class FareLineParser {
  public:
    // Unbounded only where the caller holds the whole line anyway; the data file still
    // refuses a name that long.
    explicit FareLineParser(bool boundsPlaceName = true) : boundsPlaceName_(boundsPlaceName) {}

    void Feed(std::u32string_view characters);
    // The record of the characters fed since the last Finish; the parser starts afresh.
    FareLineRecord Finish();
    // What the line fed before the last Finish lost or misread, without its line number, which
    // is the caller's.
    Notices TakeNotices() { return std::move(finishedNotices_); }

  private:
    static Notice Uncounted() {
        Notice notice;
        notice.count = 0;
        return notice;
    }
    void AddToPlaceName(char32_t ch);
    void AddToNumber(char32_t ch);
    void StartField();
    void EndField();
    void Quote();
    platform::RunError Explained(const platform::RunError& error) const;

    bool boundsPlaceName_;
    FareLineRecord record_;
    int column_ = 1;
    size_t placeNameBytes_ = 0;
    LeadingNumberReader number_;

    // What is watched for notices: the current field's first characters and whether text
    // stands in it beside the number; quotes opened and whether a separator fell inside.
    std::u32string fieldText_;
    bool fieldHasCharacters_ = false;
    bool fieldHasText_ = false;
    // Counted per line: 0 until a field of the kind is met.
    Notice textNotice_ = Uncounted();
    Notice roundedNotice_ = Uncounted();
    bool inQuotes_ = false;
    bool quoteHeldSeparator_ = false;
    int quoteColumn_ = 0;
    std::u32string quotedText_;
    Notices notices_;
    Notices finishedNotices_;
};

// The whole-line form: one decoded line, line end removed, not trimmed; the place name is not
// bounded here.
FareLineRecord ParseFareLine(std::u32string_view line);

// The lenient number reader used for zone numbers and fares: spaces anywhere are ignored,
// then the longest leading number is read; no number reads as 0.
double NumericPrefixValue(std::u32string_view text);

}  // namespace conversion
