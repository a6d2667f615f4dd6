#include "conversion/workbook/sheet_list.h"

#include "conversion/workbook/workbook_file.h"

namespace conversion::workbook {

SheetList ListSheets(const std::string& path) noexcept {
    SheetList list;
    ConversionOutcome outcome = RunUseCase(path, path, true, [&](UseCaseProgress&) {
        list.names = OpenWorkbookFile(path).book->sheetNames();
        return ConversionOutcome::Succeeded();
    });
    if (outcome.kind == ConversionOutcome::Kind::kFailed) {
        list.names.clear();
        list.failure = std::move(outcome);
    }
    return list;
}

}  // namespace conversion::workbook
