#include "platform/qt_file_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

bool QtFileOpener::Open(const QString& path) {
    // A file URL carries the path as data: no shell ever parses it.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace platform
