#include "conversion/workbook/workbook_file.h"

namespace conversion::workbook {

WorkbookFile OpenWorkbookFile(const std::string& path) {
    platform::BoundedRead read = platform::ReadBoundedFile(path, kWorkbookFileLimit);
    switch (read.status) {
        case platform::BoundedRead::Status::kNotRegularFile:
            throw platform::RunError(platform::error_code::kPathFileAccess)
                .WithExplanation(
                    "通常のファイルではありません（フォルダ、パイプ、装置は読めません）。");
        case platform::BoundedRead::Status::kTooLarge:
            throw platform::RunError(platform::error_code::kOverflow)
                .WithExplanation("ブックとして大きすぎます（読めるのは " +
                                 std::to_string(kWorkbookFileLimit >> 20) + " MiB までです）。");
        case platform::BoundedRead::Status::kRead:
            break;
    }
    return {Workbook::Open(std::move(read.bytes)), read.identity};
}

}  // namespace conversion::workbook
