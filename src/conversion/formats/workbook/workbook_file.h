#pragma once

#include <memory>
#include <string>

#include "conversion/formats/workbook/workbook.h"
#include "platform/os/file_system.h"

namespace conversion::workbook {

// A workbook file is read whole: none that holds a fare table comes near this.
inline constexpr size_t kWorkbookFileLimit = size_t{64} << 20;

// Reads the open workbook `input` whole, from its start. Throws RunError: the file's own
// errors, 6 for a file over kWorkbookFileLimit, and whatever Workbook::Open throws.
std::unique_ptr<Workbook> ReadWorkbook(platform::InputFile& input);

// The same for the workbook at `path`, which it opens; 75 for a folder, pipe or device.
std::unique_ptr<Workbook> ReadWorkbookFile(platform::FileSystem& files, const std::string& path);

}  // namespace conversion::workbook
