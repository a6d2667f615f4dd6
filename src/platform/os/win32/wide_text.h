#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

// UTF-8, as the programs carry every text, to Windows' UTF-16 and back. Bytes that are not
// UTF-8 fail with code 52 (no file can be named by them).
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// `path` made absolute and given the \\?\ form (\\?\UNC\ for \\server\share\…), so that paths
// past 260 characters work and no name is reinterpreted; forward slashes become backslashes.
std::wstring ExtendedPath(const std::string& path);

// The folder that holds the file an extended path names, in the same form.
std::wstring ParentOf(const std::wstring& extendedPath);

// The system's own words for a Windows error code, in UTF-8.
std::string SystemMessage(DWORD error);

}  // namespace platform
