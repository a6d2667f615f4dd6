#pragma once

#include <string>
#include <string_view>

#include "fare_model/fare_line_record.h"
#include "fare_model/field_reader.h"
#include "fare_model/notice.h"
#include "fare_model/row_watch.h"

namespace fare_model {

// Splits one decoded line into fields for a FareFieldReader, fed in pieces of any size so
// that a line need never be held whole. A tab, "," or "，" separates fields; a double quote
// never groups anything and just vanishes, and quotes that held a separator make a notice.
// Throws what the field reader throws (codes 6 and 9).
class FareLineParser {
  public:
    explicit FareLineParser(bool boundsPlaceName = true) : fields_(boundsPlaceName) {}

    // `watch`, where given, is shown the same characters split the same way, so that the
    // line is looked through for separators once.
    void Feed(std::u32string_view characters, RowWatch* watch = nullptr);
    // The record of the characters fed since the last Finish; the parser starts afresh.
    FareLineRecord Finish();
    // What the line fed before the last Finish lost or misread, without its line number, which
    // is the caller's.
    Notices TakeNotices() { return std::move(finishedNotices_); }

  private:
    void Quote();
    void NoteQuotedSeparator();

    FareFieldReader fields_;
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

}  // namespace fare_model
