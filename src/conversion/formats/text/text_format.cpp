#include "conversion/formats/text/text_format.h"

#include "fare_model/text_rules.h"

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
            blank = blank && fare_model::IsBlankText(characters);
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

const InputFormat kTextFormat = {
    [](std::string_view) { return true; },
    [](platform::InputFile& input, const SourceRequest& request) -> std::unique_ptr<RowSource> {
        if (request.sheet || request.startRow) {
            throw RunError(error_code::kInvalidData, Reason::kNotAWorkbook);
        }
        return std::make_unique<TextRowSource>(input);
    },
};

}  // namespace conversion
