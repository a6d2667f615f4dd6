#include "conversion/whole_file.h"

namespace conversion {
namespace {

RunError TooLarge(size_t limit, Reason tooLarge) {
    return RunError(error_code::kOverflow, tooLarge).WithNumber(static_cast<int64_t>(limit));
}

}  // namespace

platform::BoundedRead ReadWholeFile(const std::string& path, size_t limit, Reason tooLarge) {
    platform::BoundedRead read = platform::ReadBoundedFile(path, limit);
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

std::string ReadRestOfFile(platform::InputFile& input, size_t limit, Reason tooLarge) {
    std::string bytes;
    for (std::string_view block = input.ReadBlock(); !block.empty(); block = input.ReadBlock()) {
        if (block.size() > limit - bytes.size()) {
            throw TooLarge(limit, tooLarge);
        }
        bytes += block;
    }
    return bytes;
}

}  // namespace conversion
