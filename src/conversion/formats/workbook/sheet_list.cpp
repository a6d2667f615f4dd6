#include "conversion/formats/workbook/sheet_list.h"

#include "conversion/formats/workbook/workbook_file.h"

namespace conversion::workbook {

SheetList ListSheets(const std::string& path) noexcept {
    SheetList list;
    ConversionOutcome outcome = RunUseCase(path, path, true, [&](UseCaseProgress&) {
        list.names = ReadWorkbookFile(path)->sheetNames();
        return ConversionOutcome::Succeeded();
    });
    if (outcome.kind == ConversionOutcome::Kind::kFailed) {
        list.names.clear();
        list.failure = std::move(outcome);
    }
    return list;
}

}  // namespace conversion::workbook
