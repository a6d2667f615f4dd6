#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

#include "test_support.h"

namespace test_support {

// The Qt-free file helpers for paths held as QString, spelt as the file system spells them
// (wide on Windows).
inline std::filesystem::path FileSystemPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}
inline std::string ReadBytes(const QString& path) {
    return ReadBytes(FileSystemPath(path));
}
inline void WriteBytes(const QString& path, std::string_view bytes) {
    WriteBytes(FileSystemPath(path), bytes);
}

}  // namespace test_support
