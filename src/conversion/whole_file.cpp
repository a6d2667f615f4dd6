#include "conversion/whole_file.h"

#include "conversion/wording.h"

namespace conversion {

platform::BoundedRead ReadWholeFile(const std::string& path, size_t limit,
                                    const std::string& tooLarge) {
    platform::BoundedRead read = platform::ReadBoundedFile(path, limit);
    switch (read.status) {
        case platform::BoundedRead::Status::kNotRegularFile:
            throw platform::RunError(platform::error_code::kPathFileAccess)
                .WithExplanation(explanation::NotRegularFile());
        case platform::BoundedRead::Status::kTooLarge:
            throw platform::RunError(platform::error_code::kOverflow).WithExplanation(tooLarge);
        case platform::BoundedRead::Status::kRead:
            break;
    }
    return read;
}

}  // namespace conversion
