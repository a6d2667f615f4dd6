#include "platform/os/win32/wide_text.h"

#include "platform/os/file_system.h"

namespace platform {

std::wstring WideFromUtf8(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                     static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) {
        throw RunError(error_code::kBadFileName);
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), length);
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

std::wstring ExtendedPath(const std::string& path) {
    CheckPathSyntax(path);
    std::wstring wide = WideFromUtf8(path);
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (wide.starts_with(L"\\\\?\\")) {
        return wide;
    }
    DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        throw RunError(error_code::kBadFileName);
    }
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    full.resize(length);
    if (full.starts_with(L"\\\\.\\")) {
        return full;  // a device: opening it is refused as no regular file
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

std::wstring ParentOf(const std::wstring& extendedPath) {
    size_t slash = extendedPath.find_last_of(L'\\');
    std::wstring parent = extendedPath.substr(0, slash);
    // The root of a drive keeps its backslash: \\?\C:\ names the folder, \\?\C: does not.
    if (parent.size() >= 2 && parent.back() == L':') {
        parent += L'\\';
    }
    return parent;
}

std::string SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? "Windows error " + std::to_string(error) : Utf8FromWide(text);
}

}  // namespace platform
