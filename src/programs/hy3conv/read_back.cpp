#include "programs/hy3conv/read_back.h"

#include "conversion/fare_table_listing.h"
#include "conversion/read_back.h"
#include "programs/hy3conv/messages.h"

namespace hy3conv {

FileResult WriteBackAsText(const std::string& inputPath, const std::string& outputPath) {
    const conversion::ConversionOutcome outcome =
        conversion::WriteBackAsText(inputPath, outputPath);
    if (outcome.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
        ReportFailure(outcome);
        return {FileResult::Kind::kFailed, "失敗しました（出力ファイルは変更していません）。"};
    }
    return {FileResult::Kind::kWritten,
            "テキストに書き戻しました（" + std::to_string(outcome.rowsWritten) + "行）。"};
}

int ShowDataFile(const std::string& path) {
    const conversion::ConversionOutcome outcome = conversion::ReadBackDataFile(path);
    if (outcome.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
        ReportFailure(outcome);
        return kExitFailed;
    }
    PrintOut(conversion::FareTableListing(outcome.records));
    return kExitSucceeded;
}

}  // namespace hy3conv
