#include "conversion/workbook/workbook_file.h"

#include "conversion/whole_file.h"
#include "conversion/wording.h"

namespace conversion::workbook {

WorkbookFile OpenWorkbookFile(const std::string& path) {
    platform::BoundedRead read = ReadWholeFile(
        path, kWorkbookFileLimit, explanation::WorkbookFileTooLarge(kWorkbookFileLimit));
    return {Workbook::Open(std::move(read.bytes)), read.identity};
}

}  // namespace conversion::workbook
