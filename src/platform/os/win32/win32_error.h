#pragma once

#include <windows.h>

#include <string>

#include "platform/os/run_error.h"

namespace platform {

// Turns a Windows error met on `path` into the RunError the user sees.
RunError ErrorFromWin32(DWORD error, const std::string& path);

// Names Windows cannot give a file: devices (CON, NUL, COM1 …), a trailing dot or space,
// characters such as : * ? < > |. Fails with 52 and says why.
void RefuseNameWindowsCannotCreate(const std::string& path);

// Closes a handle when it goes.
class Handle {
  public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    void Close() {
        if (valid()) {
            CloseHandle(handle_);
        }
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE handle_;
};

}  // namespace platform
