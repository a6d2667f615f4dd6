#include "conversion/formats/input_format.h"

#include <iterator>

#include "conversion/formats/text/text_format.h"
#include "conversion/formats/workbook/workbook_format.h"

namespace conversion {
namespace {

// Asked in this order; the text table, which any bytes may be, comes last.
const InputFormat* const kFormats[] = {&workbook::kWorkbookFormat, &kTextFormat};

}  // namespace

const InputFormat& InputFormatOf(std::string_view firstBytes) {
    for (const InputFormat* format : kFormats) {
        if (format->recognises(firstBytes)) {
            return *format;
        }
    }
    return **std::prev(std::end(kFormats));
}

bool TakenForAnotherFormat(std::string_view textBytes) {
    return &InputFormatOf(textBytes) != &kTextFormat;
}

std::unique_ptr<RowSource> OpenRowSource(platform::InputFile& input, const SourceRequest& request) {
    const InputFormat& format = InputFormatOf(input.ReadBlock());
    input.Rewind();
    return format.open(input, request);
}

}  // namespace conversion
