#pragma once

#include <cstddef>
#include <string>

#include "conversion/fare_model_names.h"
#include "platform/os/file_access.h"

namespace conversion {

// The file at `path`, read whole at once, for a format that is read whole (a .hy3 file, a
// workbook). Throws RunError: the file's own errors (53 and so on), 75 for a folder, pipe or
// device, and 6 for a file over `limit`, with `tooLarge` (whose number is the limit) as why.
platform::BoundedRead ReadWholeFile(const std::string& path, size_t limit, Reason tooLarge);

// The rest of the open `input`, from its start, for a format read whole: 6 with `tooLarge`
// where it holds more than `limit` bytes.
std::string ReadRestOfFile(platform::InputFile& input, size_t limit, Reason tooLarge);

}  // namespace conversion
