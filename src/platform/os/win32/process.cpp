#include "platform/os/process.h"

// windows.h comes first: shellapi.h builds on it.
#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/os/win32/wide_text.h"

namespace platform {

// Windows has no SIGPIPE: a write to a closed pipe already fails, and is reported.
void ReportClosedPipesAsWriteErrors() {}

void ReportFileSizeLimitAsWriteErrors() {}

std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

bool WriteText(std::FILE* stream, std::string_view text) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        // Bytes that are no UTF-8 show as U+FFFD rather than stop the message.
        std::wstring wide;
        int length =
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(std::max(length, 0)));
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
        for (size_t at = 0; at < wide.size();) {
            DWORD written = 0;
            DWORD ask = static_cast<DWORD>(std::min<size_t>(wide.size() - at, 8192));
            if (!WriteConsoleW(handle, wide.data() + at, ask, &written, nullptr) || written == 0) {
                return false;
            }
            at += written;
        }
        return true;
    }
    // Redirected: UTF-8, and the C library's text mode turns each \n into CR LF.
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

}  // namespace platform
