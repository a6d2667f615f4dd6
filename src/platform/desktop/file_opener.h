#pragma once

#include <QString>

namespace platform {

// Opens a file in the application the desktop associates with it. The path is handed to
// the desktop as it is, never through a shell command line.
class FileOpener {
  public:
    virtual ~FileOpener() = default;
    // False where the desktop reported that it could not open the file.
    virtual bool Open(const QString& path) = 0;
    // The same for a page, opened at its part named `section` (the URL's fragment).
    virtual bool OpenSection(const QString& path, const QString& section) = 0;
};

}  // namespace platform
