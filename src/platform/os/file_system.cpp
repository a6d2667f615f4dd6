#include "platform/os/file_system.h"

namespace platform {

void CheckPathSyntax(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        throw RunError(error_code::kBadFileName);
    }
}

}  // namespace platform
