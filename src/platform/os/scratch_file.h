#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace platform {

// For libraries that write only to a file they open by name: runs `write` with the name of a
// private scratch file and returns the bytes it left there. The file has no name in any
// folder that others see, and it is gone when this returns, so the caller can put the bytes
// in place atomically itself. Throws RunError where no scratch file can be made or read, and
// 6 where it holds more than `limit` bytes; whatever `write` throws passes through.
std::string BytesWrittenByName(const std::function<void(const std::string& path)>& write,
                               size_t limit);

}  // namespace platform
