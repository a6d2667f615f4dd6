#include "conversion/workbook/workbook_conversion.h"

#include <algorithm>

#include "conversion/workbook/workbook_errors.h"
#include "conversion/workbook/workbook_file.h"
#include "conversion/workbook/workbook_row_source.h"

namespace conversion::workbook {

bool HoldsWorkbook(platform::InputFile& input) {
    const bool workbook = ContainerOf(input.ReadBlock()) != Container::kOther;
    input.Rewind();
    return workbook;
}

ConversionOutcome ConvertWorkbook(const std::string& inputPath, const std::string& outputPath,
                                  const ConversionOptions& options, UseCaseProgress& progress) {
    WorkbookFile file = OpenWorkbookFile(inputPath);
    std::shared_ptr<const Workbook> book = std::move(file.book);
    size_t sheet = 0;
    if (options.sheet) {
        const auto& names = book->sheetNames();
        auto found = std::find(names.begin(), names.end(), *options.sheet);
        if (found == names.end()) {
            throw MissingSheet(*options.sheet, names);
        }
        sheet = static_cast<size_t>(found - names.begin());
    } else if (book->sheetNames().empty()) {
        return ConversionOutcome::NothingToConvert();
    }
    WorkbookRowSource source(book, sheet);
    return ConvertRows(source, file.identity, outputPath, options, progress);
}

}  // namespace conversion::workbook
