#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/formats/workbook/sheet_rows.h"
#include "conversion/formats/workbook/zip_archive.h"

namespace conversion::workbook {

// The workbook's table of shared strings, held as one text and where each string ends.
class SharedStrings {
  public:
    void Add(std::string_view text) {
        text_ += text;
        ends_.push_back(static_cast<uint32_t>(text_.size()));
    }
    size_t size() const { return ends_.size(); }
    std::string_view at(size_t index) const {
        size_t start = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(text_).substr(start, ends_[index] - start);
    }

  private:
    std::string text_;
    std::vector<uint32_t> ends_;  // the part holding them is under 4 GiB
};

// Rich text runs are joined; phonetic guides (the furigana Japanese Excel stores beside a
// name) are left out.
SharedStrings ReadSharedStrings(const ZipArchive& archive, std::string_view part);

// Characters XML cannot hold are written "_xHHHH_" in a workbook's strings, and "_x005F_"
// stands for an underscore that would otherwise start one.
std::string DecodeEscapedCharacters(std::string_view text);
std::string EncodeEscapedCharacters(std::string_view text);

// What every sheet of a book shares: its strings and its styles' date formats.
struct XlsxBookParts {
    std::shared_ptr<const SharedStrings> sharedStrings;
    std::shared_ptr<const struct XlsxDateStyles> dateStyles;
};

std::unique_ptr<SheetRows> OpenXlsxSheet(const ZipArchive& archive, std::string_view part,
                                         std::string_view sheetName, XlsxBookParts shared,
                                         uint32_t columnLimit);

}  // namespace conversion::workbook
