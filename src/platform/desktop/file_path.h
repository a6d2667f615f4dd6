#pragma once

#include <QString>
#include <string>

namespace platform {

// A path the window holds as text, as the file system interface takes it: the bytes the
// kernel spells the name with on POSIX, UTF-8 on Windows (whose side widens it again).
std::string FileSystemPath(const QString& path);

}  // namespace platform
