#include "platform/os/win32/win32_error.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/os/file_access.h"

namespace platform {

RunError ErrorFromWin32(DWORD error, const std::string&) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return RunError(error_code::kFileNotFound);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return RunError(error_code::kPathNotFound);
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_NO_UNICODE_TRANSLATION:
            return RunError(error_code::kBadFileName);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return RunError(error_code::kPermissionDenied).WithCause(FileCause::kInUse);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return RunError(error_code::kPermissionDenied);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_FILE_TOO_LARGE:
            return RunError(error_code::kDiskFull);
        case ERROR_NOT_READY:
        case ERROR_NO_MEDIA_IN_DRIVE:
            return RunError(error_code::kDiskNotReady);
        case ERROR_TOO_MANY_OPEN_FILES:
            return RunError(error_code::kTooManyFiles);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return RunError(error_code::kOutOfMemory);
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_GEN_FAILURE:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
            return RunError(error_code::kDeviceIo);
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NETNAME_DELETED:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_DEVICE_NOT_CONNECTED:
            return RunError(error_code::kDeviceUnavailable);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return RunError(error_code::kPathFileAccess).WithCause(FileCause::kReplacedMeanwhile);
        default:
            return RunError(error_code::kPathFileAccess);
    }
}

void RefuseNameWindowsCannotCreate(const std::string& path) {
    std::string_view name = path;
    name = name.substr(name.find_last_of("/\\") + 1);
    if (name.size() == 2 && name[1] == ':') {
        name = {};  // a drive alone names a folder, not a file
    }
    auto refuse = [] {
        throw RunError(error_code::kBadFileName).WithCause(FileCause::kReservedOnWindows);
    };
    if (name.empty() || name == "." || name == "..") {
        return;  // a folder: the caller refuses it on its own terms
    }
    if (name.back() == '.' || name.back() == ' ') {
        refuse();
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
            refuse();
        }
    }
    // A device's name stays the device's whatever extension follows it: NUL.hy3 is NUL.
    std::string stem = AsciiLowercase(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    constexpr std::array<std::string_view, 4> kDevices = {"con", "prn", "aux", "nul"};
    bool numbered = stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
                    stem[3] >= '0' && stem[3] <= '9';
    // COM¹, COM², COM³ and LPT¹ … in UTF-8.
    bool superscript = (stem.starts_with("com") || stem.starts_with("lpt")) &&
                       (stem.substr(3) == "\xC2\xB9" || stem.substr(3) == "\xC2\xB2" ||
                        stem.substr(3) == "\xC2\xB3");
    if (numbered || superscript ||
        std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end() || stem == "conin$" ||
        stem == "conout$") {
        refuse();
    }
}

}  // namespace platform
