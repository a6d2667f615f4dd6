#include "conversion/formats/workbook/sheet_list.h"

#include "conversion/formats/workbook/workbook_file.h"

namespace conversion::workbook {

SheetList ListSheets(platform::FileSystem& files, const std::string& path) noexcept {
    SheetList list;
    ConversionOutcome outcome = RunUseCase(path, path, true, [&](UseCaseProgress&) {
        list.names = ReadWorkbookFile(files, path)->sheetNames();
        return ConversionOutcome::Succeeded();
    });
    if (outcome.kind == ConversionOutcome::Kind::kFailed) {
        list.names.clear();
        list.failure = std::move(outcome);
    }
    return list;
}

}  // namespace conversion::workbook
