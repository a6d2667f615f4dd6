#include "programs/hy3conv/read_back.h"

#include <optional>
#include <vector>

#include "conversion/fare_data_reader.h"
#include "conversion/fare_table_listing.h"
#include "conversion/fare_table_text.h"
#include "platform/os/file_access.h"
#include "platform/os/output_file.h"
#include "programs/hy3conv/messages.h"

namespace hy3conv {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

RunError TooLarge() {
    return RunError(error_code::kOverflow)
        .WithExplanation(".hy3 ファイルとして大きすぎます（読めるのは 64 MiB までです）。");
}

std::vector<conversion::FareLineRecord> ReadRecords(const std::string& path) {
    return conversion::ReadFareDataFile(ReadDataFileBytes(path));
}

}  // namespace

std::string ReadDataFileBytes(const std::string& path) {
    platform::BoundedRead read = platform::ReadBoundedFile(path, kMaxDataFileBytes);
    switch (read.status) {
        case platform::BoundedRead::Status::kNotRegularFile:
            throw RunError(error_code::kPathFileAccess)
                .WithExplanation(
                    "通常のファイルではありません（フォルダ、パイプ、装置は読めません）。");
        case platform::BoundedRead::Status::kTooLarge:
            throw TooLarge();
        case platform::BoundedRead::Status::kRead:
            break;
    }
    return std::move(read.bytes);
}

FileResult WriteBackAsText(const std::string& inputPath, const std::string& outputPath) {
    std::string text;
    size_t rows = 0;
    std::optional<platform::FileIdentity> inputIdentity;
    try {
        const std::vector<conversion::FareLineRecord> records = ReadRecords(inputPath);
        text = conversion::FareTableText(records);
        rows = records.size();
        inputIdentity = platform::IdentityOf(inputPath);
        if (!inputIdentity) {
            throw RunError(error_code::kFileNotFound);
        }
    } catch (const RunError& error) {
        ReportFailure(inputPath, error);
        return {FileResult::Kind::kFailed, "失敗しました（出力ファイルは変更していません）。"};
    }
    try {
        // Writing the text over the .hy3 it came from would lose the data file.
        if (platform::IdentityOf(outputPath) == inputIdentity) {
            throw RunError(error_code::kPathFileAccess, "変換元と変換先が同じファイルです。");
        }
        platform::AtomicOutputFile output(outputPath);
        output.Write(text);
        output.Commit(inputIdentity);
    } catch (const RunError& error) {
        ReportFailure(outputPath, error);
        return {FileResult::Kind::kFailed, "失敗しました（出力ファイルは変更していません）。"};
    }
    return {FileResult::Kind::kWritten,
            "テキストに書き戻しました（" + std::to_string(rows) + "行）。"};
}

int ShowDataFile(const std::string& path) {
    std::vector<conversion::FareLineRecord> records;
    try {
        records = ReadRecords(path);
    } catch (const RunError& error) {
        ReportFailure(path, error);
        return kExitFailed;
    }
    PrintOut(conversion::FareTableListing(records));
    return kExitSucceeded;
}

}  // namespace hy3conv
