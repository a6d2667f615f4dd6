#include "programs/hy3conv/read_back.h"

#include "conversion/formats/workbook/workbook_writer.h"
#include "conversion/read_back.h"
#include "conversion/wording.h"
#include "fare_model/fare_table_listing.h"
#include "programs/hy3conv/messages.h"

namespace hy3conv {

namespace {

// `form` names what was written: "テキスト", "ブック".
FileResult Reported(const conversion::ConversionOutcome& outcome, const std::string& form) {
    if (outcome.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
        ReportFailure(outcome);
        return {FileResult::Kind::kFailed, "失敗しました（出力ファイルは変更していません）。"};
    }
    return {FileResult::Kind::kWritten,
            form + "に書き戻しました（" + std::to_string(outcome.rowsWritten) + "行）。"};
}

}  // namespace

FileResult WriteBackAsText(const std::string& inputPath, const std::string& outputPath) {
    return Reported(conversion::WriteBackAsText(inputPath, outputPath), "テキスト");
}

FileResult WriteBackAsWorkbook(const std::string& inputPath, const std::string& outputPath) {
    return Reported(
        conversion::WriteBackAs(inputPath, outputPath, conversion::workbook::FareTableWorkbook),
        "ブック");
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
