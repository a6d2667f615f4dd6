#include "platform/os/scratch_file.h"

#include "platform/os/file_system.h"
#include "platform/os/win32/wide_text.h"
#include "platform/os/win32/win32_error.h"
#include "platform/os/win32/win32_file_system.h"

namespace platform {
namespace {

// A file of our own in the user's temporary folder, made empty under a fresh name and deleted
// when it goes. Not deleted on close by the system: the library that writes it opens it by
// name, without the sharing that would need.
class ScratchFile {
  public:
    ScratchFile() {
        wchar_t folder[MAX_PATH + 1];
        DWORD length = GetTempPathW(MAX_PATH + 1, folder);
        if (length == 0 || length > MAX_PATH) {
            throw RunError(error_code::kPathNotFound);
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = std::wstring(folder, length) + RandomTemporaryName() + L".tmp";
            Handle made(CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY, nullptr));
            if (made.valid()) {
                return;
            }
            if (GetLastError() != ERROR_FILE_EXISTS) {
                throw ErrorFromWin32(GetLastError(), Utf8FromWide(name_));
            }
        }
        throw RunError(error_code::kPathFileAccess);
    }
    ~ScratchFile() { DeleteFileW(name_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    std::string Name() const { return Utf8FromWide(name_); }

  private:
    std::wstring name_;
};

}  // namespace

std::string BytesWrittenByName(const std::function<void(const std::string& path)>& write,
                               size_t limit) {
    ScratchFile scratch;
    write(scratch.Name());
    BoundedRead read = SystemFileSystem().ReadBoundedFile(scratch.Name(), limit);
    if (read.status != BoundedRead::Status::kRead) {
        throw RunError(error_code::kOverflow, fare_model::Reason::kOutputTooLarge)
            .WithNumber(static_cast<int64_t>(limit));
    }
    return std::move(read.bytes);
}

}  // namespace platform
