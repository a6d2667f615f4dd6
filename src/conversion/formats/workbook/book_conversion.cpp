#include "conversion/formats/workbook/book_conversion.h"

#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/formats/workbook/workbook_file.h"
#include "conversion/formats/workbook/workbook_row_source.h"
#include "conversion/same_file.h"

namespace conversion::workbook {

OpenedBook::OpenedBook(platform::FileSystem& files, const std::string& path) noexcept
    : files_(files), path_(path) {
    ConversionOutcome outcome = RunUseCase(path, path, true, [&](UseCaseProgress&) {
        std::unique_ptr<platform::InputFile> input = files.OpenInput(path);
        identity_ = input->Identity();
        book_ = ReadWorkbook(*input);
        return ConversionOutcome::Succeeded();
    });
    if (outcome.kind == ConversionOutcome::Kind::kFailed) {
        book_.reset();
        failure_ = std::move(outcome);
    }
}

ConversionOutcome OpenedBook::ConvertSheet(size_t index, const std::string& name,
                                           const std::string& outputPath,
                                           const ConversionOptions& options) const noexcept {
    if (failure_) {
        return *failure_;
    }
    return RunUseCase(path_, outputPath, true, [&](UseCaseProgress& progress) {
        const NameList& names = book_->sheetNames();
        if (index >= names.size() || names[index] != name) {
            throw MissingSheet(name, names);
        }
        RefuseOutputOverInputSpelledApart(files_, path_, outputPath);
        WorkbookRowSource source(book_, TablePlace{index, true, options.startRow.value_or(1)});
        return ConvertRows(files_, source, identity_, outputPath, options, progress);
    });
}

}  // namespace conversion::workbook
