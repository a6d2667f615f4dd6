#pragma once

#include <optional>
#include <string_view>

#include "fare_model/fare_line_record.h"
#include "fare_model/notice.h"

namespace fare_model {

// Watches one row's characters, beside the parser, for what a spreadsheet's export or a
// damaged file leaves in a table: an empty spreadsheet row (separators only), a header row,
// names whose letters were lost to "?", control characters, a row that is only the old
// end-of-file mark Ctrl-Z, and a tail of NUL bytes. It tells; it never changes the record.
class RowWatch {
  public:
    // For a text line, as the parser splits it: the characters between separators (quotes
    // included) in pieces of any size, and each separator.
    void WatchRun(std::u32string_view run);
    void Separator();
    // For a source that already has fields (a spreadsheet's cells): one whole field, whatever
    // characters it holds; a separator in it is data.
    void FeedField(std::u32string_view characters);
    // The row fed since the last Finish is over: adds what it found to `notices`, which hold
    // the parser's notices for the row (a header row's text-in-number notice becomes one that
    // calls the row a header). The watch starts afresh.
    void Finish(const FareLineRecord& record, Notices& notices);

  private:
    void EndField();

    struct Control {
        char32_t character;
        int column;
    };

    int column_ = 1;
    bool columnHasText_ = false;
    int columnsWithText_ = 0;  // beside the place name
    bool onlySeparatorsAndSpaces_ = true;
    bool onlyNul_ = true;
    bool onlyEndOfFileMark_ = true;
    bool empty_ = true;
    std::optional<Control> firstControl_;
};

}  // namespace fare_model
