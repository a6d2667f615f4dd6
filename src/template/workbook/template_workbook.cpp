#include "template/workbook/template_workbook.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "conversion/fare_line_parser.h"
#include "conversion/workbook/workbook_writer.h"
#include "platform/os/code_page.h"
#include "template/text/template_text.h"

namespace template_workbook {

std::string TemplateWorkbook() {
    std::string_view text = template_text::TemplateText();
    platform::TextDecoder decoder(platform::TextEncoding::kCp932);
    std::vector<conversion::FareLineRecord> records;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        records.push_back(
            conversion::ParseFareLine(decoder.Decode(text.substr(start, end - start)).value()));
        start = end + 2;
    }
    return conversion::workbook::FareTableWorkbook(records);
}

std::string TemplateForFileName(std::string_view name) {
    constexpr std::string_view kWorkbookExtension = ".xlsx";
    bool workbook = name.size() >= kWorkbookExtension.size() &&
                    std::equal(kWorkbookExtension.begin(), kWorkbookExtension.end(),
                               name.end() - static_cast<ptrdiff_t>(kWorkbookExtension.size()),
                               [](char a, char b) { return a == std::tolower(b); });
    return workbook ? TemplateWorkbook() : std::string(template_text::TemplateText());
}

}  // namespace template_workbook
