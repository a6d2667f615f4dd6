#pragma once

#include <memory>
#include <string>

#include "conversion/workbook/workbook.h"
#include "platform/os/file_access.h"

namespace conversion::workbook {

// A workbook file is read whole: none that holds a fare table comes near this.
inline constexpr size_t kWorkbookFileLimit = size_t{64} << 20;

struct WorkbookFile {
    std::unique_ptr<Workbook> book;
    platform::FileIdentity identity;  // what an output must never replace
};

// Reads the workbook at `path`. Throws platform::RunError: the file's own errors (53 and so
// on), 75 for a folder, pipe or device, 6 for a file over kWorkbookFileLimit, and whatever
// Workbook::Open throws.
WorkbookFile OpenWorkbookFile(const std::string& path);

}  // namespace conversion::workbook
