#pragma once

#include "platform/desktop/file_opener.h"

namespace platform {

// Asks the desktop's own handler (through Qt's desktop services) to open the file.
class QtFileOpener : public FileOpener {
  public:
    bool Open(const QString& path) override;
    bool OpenSection(const QString& path, const QString& section) override;
};

}  // namespace platform
