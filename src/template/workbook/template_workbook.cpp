#include "template/workbook/template_workbook.h"

#include <vector>

#include "conversion/formats/workbook/workbook_writer.h"
#include "fare_model/fare_line_parser.h"
#include "platform/os/code_page.h"
#include "platform/os/file_access.h"
#include "template/text/template_text.h"

namespace template_workbook {

std::string TemplateWorkbook(const std::string& scratchFolder) {
    std::string_view text = template_text::TemplateText();
    platform::TextDecoder decoder(platform::TextEncoding::kCp932);
    std::vector<fare_model::FareLineRecord> records;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        records.push_back(
            fare_model::ParseFareLine(decoder.Decode(text.substr(start, end - start)).value()));
        start = end + 2;
    }
    return conversion::workbook::FareTableWorkbook(records, scratchFolder);
}

std::string TemplateForFileName(std::string_view name) {
    const bool workbook = platform::AsciiLowercase(name).ends_with(".xlsx");
    return workbook ? TemplateWorkbook(platform::FolderOf(name))
                    : std::string(template_text::TemplateText());
}

}  // namespace template_workbook
