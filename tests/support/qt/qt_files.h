#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

#include "test_support.h"

namespace test_support {

// The Qt-free file helpers for paths held as QString, spelt as the file system spells them.
inline std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
inline std::string ReadBytes(const QString& path) {
    return ReadBytes(std::filesystem::path(NativePath(path)));
}
inline void WriteBytes(const QString& path, std::string_view bytes) {
    WriteBytes(std::filesystem::path(NativePath(path)), bytes);
}

}  // namespace test_support
