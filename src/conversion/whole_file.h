#pragma once

#include <cstddef>
#include <string>

#include "conversion/fare_model_names.h"
#include "platform/os/file_system.h"

namespace conversion {

// The file at `path`, read whole at once, for a format that is read whole (a .hy3 file, a
// workbook). Throws RunError: the file's own errors (53 and so on), 75 for a folder, pipe or
// device, and 6 for a file over `limit`, with `tooLarge` (whose number is the limit) as why.
platform::BoundedRead ReadWholeFile(platform::FileSystem& files, const std::string& path,
                                    size_t limit, Reason tooLarge);

// The rest of the open `input`, for a format read whole once its first block has told what it
// is: as above, from the handle the use case opened.
std::string ReadRestOfFile(platform::InputFile& input, size_t limit, Reason tooLarge);

}  // namespace conversion
