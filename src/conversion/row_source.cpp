#include "conversion/row_source.h"

#include "conversion/text_rules.h"

namespace conversion {

RowSource::Row TextRowSource::ReadRow(bool wanted, FareLineRecord& record, Notices& notices) {
    if (reader_.AtEnd()) {
        return Row::kEnd;
    }
    // A line is parsed as it is read; a blank one leaves the parser unharmed, as leading
    // spaces never reach the place name and spaces never change a number.
    struct NotBlank {};
    bool blank = true;
    try {
        reader_.ReadLineCharacters([&](std::u32string_view characters) {
            blank = blank && IsBlankText(characters);
            if (wanted) {
                parser_.Feed(characters, &watch_);
            } else if (!blank) {
                throw NotBlank{};
            }
        });
    } catch (const NotBlank&) {
        return Row::kRow;
    }
    record = parser_.Finish();
    notices = parser_.TakeNotices();
    watch_.Finish(record, notices);
    if (blank) {
        notices.clear();
        return Row::kBlank;
    }
    return Row::kRow;
}

}  // namespace conversion
