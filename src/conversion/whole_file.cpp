#include "conversion/whole_file.h"

namespace conversion {
namespace {

RunError TooLarge(size_t limit, Reason tooLarge) {
    return RunError(error_code::kOverflow, tooLarge).WithNumber(static_cast<int64_t>(limit));
}

// The refusals of a read whole, whether by path or from an open file.
platform::BoundedRead Checked(platform::BoundedRead read, size_t limit, Reason tooLarge) {
    switch (read.status) {
        case platform::BoundedRead::Status::kNotRegularFile:
            throw RunError(error_code::kPathFileAccess, Reason::kNotRegularFile);
        case platform::BoundedRead::Status::kTooLarge:
            throw TooLarge(limit, tooLarge);
        case platform::BoundedRead::Status::kRead:
            break;
    }
    return read;
}

}  // namespace

platform::BoundedRead ReadWholeFile(platform::FileSystem& files, const std::string& path,
                                    size_t limit, Reason tooLarge) {
    return Checked(files.ReadBoundedFile(path, limit), limit, tooLarge);
}

std::string ReadRestOfFile(platform::InputFile& input, size_t limit, Reason tooLarge) {
    return Checked(input.ReadRest(limit), limit, tooLarge).bytes;
}

}  // namespace conversion
