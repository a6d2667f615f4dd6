#include "platform/desktop/file_path.h"

#include <QFile>

namespace platform {

std::string FileSystemPath(const QString& path) {
#ifdef Q_OS_WIN
    // QFile::encodeName gives Windows' ANSI code page, which cannot hold every name.
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

}  // namespace platform
