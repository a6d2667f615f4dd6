#pragma once

#include <QString>
#include <string_view>

namespace main_window {

// The core speaks UTF-8; the window shows QString.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace main_window
