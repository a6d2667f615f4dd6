#pragma once

#include <optional>
#include <string>
#include <vector>

#include "conversion/outcome.h"
#include "platform/os/file_system.h"

namespace conversion::workbook {

// The sheets of the workbook at `path`, in the order of their tabs; or, where it is no
// readable workbook, the failed outcome that says why (never throws).
struct SheetList {
    std::vector<std::string> names;
    std::optional<ConversionOutcome> failure;
};
SheetList ListSheets(platform::FileSystem& files, const std::string& path) noexcept;

}  // namespace conversion::workbook
