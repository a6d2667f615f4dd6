#pragma once

#include <cstddef>
#include <string>

#include "platform/os/file_access.h"

namespace conversion {

// The file at `path`, read whole at once, for a format that is read whole (a .hy3 file, a
// workbook). Throws platform::RunError: the file's own errors (53 and so on), 75 for a folder,
// pipe or device, and 6 for a file over `limit`, with `tooLarge` as its explanation.
platform::BoundedRead ReadWholeFile(const std::string& path, size_t limit,
                                    const std::string& tooLarge);

}  // namespace conversion
