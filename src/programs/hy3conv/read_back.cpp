#include "programs/hy3conv/read_back.h"

#include "conversion/formats/workbook/workbook_writer.h"
#include "conversion/read_back.h"
#include "conversion/wording.h"
#include "fare_model/fare_table_listing.h"
#include "platform/os/file_system.h"
#include "programs/hy3conv/messages.h"

namespace hy3conv {

namespace {

FileResult Reported(const conversion::ConversionOutcome& outcome, conversion::WrittenForm form) {
    if (outcome.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
        ReportFailure(outcome);
        return {FileResult::Kind::kFailed,
                conversion::NotWrittenText(conversion::NotWritten::kFailed)};
    }
    return {FileResult::Kind::kWritten, conversion::WrittenBackText(form, outcome.rowsWritten)};
}

}  // namespace

FileResult WriteBackAsText(const std::string& inputPath, const std::string& outputPath) {
    return Reported(conversion::WriteBackAsText(inputPath, outputPath),
                    conversion::WrittenForm::kText);
}

FileResult WriteBackAsWorkbook(const std::string& inputPath, const std::string& outputPath) {
    // The library's scratch files go beside the book: a full medium fails there, not later.
    const std::string folder = platform::FolderOf(outputPath);
    auto workbook = [&folder](std::span<const fare_model::FareLineRecord> records) {
        return conversion::workbook::FareTableWorkbook(records, folder);
    };
    return Reported(conversion::WriteBackAs(inputPath, outputPath, workbook),
                    conversion::WrittenForm::kWorkbook);
}

int ShowDataFile(const std::string& path) {
    const conversion::ConversionOutcome outcome = conversion::ReadBackDataFile(path);
    if (outcome.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
        ReportFailure(outcome);
        return kExitFailed;
    }
    PrintOut(fare_model::FareTableListing(outcome.records, conversion::ListingHeadings()));
    return kExitSucceeded;
}

}  // namespace hy3conv
