#include "conversion/formats/workbook/workbook_file.h"

#include "conversion/whole_file.h"

namespace conversion::workbook {

std::unique_ptr<Workbook> ReadWorkbook(platform::InputFile& input) {
    return Workbook::Open(ReadRestOfFile(input, kWorkbookFileLimit, Reason::kWorkbookTooLarge));
}

std::unique_ptr<Workbook> ReadWorkbookFile(platform::FileSystem& files, const std::string& path) {
    return Workbook::Open(
        ReadWholeFile(files, path, kWorkbookFileLimit, Reason::kWorkbookTooLarge).bytes);
}

}  // namespace conversion::workbook
