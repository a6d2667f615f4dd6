#include <random>

#include "platform/os/file_identity_words.h"
#include "platform/os/win32/wide_text.h"
#include "platform/os/win32/win32_error.h"
#include "platform/os/win32/win32_file_system.h"

namespace platform {
namespace {

// Small enough that a piece of a line, decoded, stays well under a megabyte.
constexpr DWORD kReadBlockSize = 1 << 16;

// Others may read, write, rename and delete the file while we read it: a workbook open in a
// spreadsheet program can still be converted.
constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens the regular file at `path` for reading. A folder, a device or a pipe is refused with
// 75 before anything is read from it, so that nothing can make the program wait.
HANDLE OpenForReading(const std::string& path) {
    std::wstring wide = ExtendedPath(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RunError(error_code::kPathFileAccess);
    }
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, kShareEverything, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw ErrorFromWin32(GetLastError(), path);
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        throw RunError(error_code::kPathFileAccess);
    }
    return file;
}

// Up to `size` bytes into `buffer`; 0 at the end of the file.
DWORD ReadSome(HANDLE file, char* buffer, DWORD size, const std::string& path) {
    DWORD count = 0;
    if (!ReadFile(file, buffer, size, &count, nullptr)) {
        throw ErrorFromWin32(GetLastError(), path);
    }
    return count;
}

// What is left of the open file from where reading stands, if that is at most `limit` bytes.
BoundedRead ReadRestOf(HANDLE file, const std::string& path, size_t limit) {
    BoundedRead result;
    result.identity = IdentityOfHandle(file);
    LARGE_INTEGER size{}, at{}, zero{};
    if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, zero, &at, FILE_CURRENT)) {
        throw ErrorFromWin32(GetLastError(), path);
    }
    if (size.QuadPart > at.QuadPart &&
        static_cast<unsigned long long>(size.QuadPart - at.QuadPart) > limit) {
        result.status = BoundedRead::Status::kTooLarge;
        return result;
    }
    // The file may grow while it is read: the bound holds for what is read, not the size seen.
    char block[65536];
    while (DWORD count = ReadSome(file, block, sizeof block, path)) {
        if (result.bytes.size() + count > limit) {
            result.bytes.clear();
            result.status = BoundedRead::Status::kTooLarge;
            return result;
        }
        result.bytes.append(block, count);
    }
    return result;
}

class Win32InputFile final : public InputFile {
  public:
    explicit Win32InputFile(const std::string& path)
        : path_(path), file_(OpenForReading(path)), buffer_(kReadBlockSize, '\0') {}

    std::string_view ReadBlock() override {
        return {buffer_.data(), ReadSome(file_.get(), buffer_.data(), kReadBlockSize, path_)};
    }
    void Rewind() override {
        LARGE_INTEGER zero{};
        if (!SetFilePointerEx(file_.get(), zero, nullptr, FILE_BEGIN)) {
            throw ErrorFromWin32(GetLastError(), path_);
        }
    }
    FileIdentity Identity() const override { return IdentityOfHandle(file_.get()); }
    BoundedRead ReadRest(size_t limit) override { return ReadRestOf(file_.get(), path_, limit); }

  private:
    std::string path_;
    Handle file_;
    std::string buffer_;
};

}  // namespace

FileIdentity IdentityOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) {
        return {};
    }
    // The first word is never 0, so that no file's identity equals "no file".
    return FileIdentityWords::Make(
        1, information.dwVolumeSerialNumber,
        (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow);
}

// Windows' own upper-case mapping, the one NTFS and FAT volumes compare names with.
std::string CaseFolded(std::string_view name) {
    std::wstring wide = WideFromUtf8(name);
    if (!wide.empty()) {
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    return Utf8FromWide(wide);
}

std::wstring RandomTemporaryName() {
    static constexpr wchar_t kLetters[] =
        L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, std::size(kLetters) - 2);
    std::wstring name = L".hy3-";
    for (int i = 0; i < 10; ++i) {
        name += kLetters[pick(generator)];
    }
    return name;
}

std::unique_ptr<InputFile> Win32FileSystem::OpenInput(const std::string& path) {
    return std::make_unique<Win32InputFile>(path);
}

BoundedRead Win32FileSystem::ReadBoundedFile(const std::string& path, size_t limit) {
    std::wstring wide = ExtendedPath(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {BoundedRead::Status::kNotRegularFile, {}, {}};
    }
    Handle file(CreateFileW(wide.c_str(), GENERIC_READ, kShareEverything, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        throw ErrorFromWin32(GetLastError(), path);
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return {BoundedRead::Status::kNotRegularFile, {}, {}};
    }
    return ReadRestOf(file.get(), path, limit);
}

std::optional<FileIdentity> Win32FileSystem::IdentityOf(const std::string& path) {
    std::wstring wide;
    try {
        wide = ExtendedPath(path);
    } catch (const RunError&) {
        return std::nullopt;
    }
    // No access asked, and folders too (backup semantics): only what the file is.
    Handle file(CreateFileW(wide.c_str(), 0, kShareEverything, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    FileIdentity identity = IdentityOfHandle(file.get());
    return identity == FileIdentity{} ? std::nullopt : std::optional(identity);
}

EntryKind Win32FileSystem::EntryKindOf(const std::string& path) {
    DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return EntryKind::kNone;
        }
        throw ErrorFromWin32(error, path);
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder : EntryKind::kOther;
}

FileSystem& SystemFileSystem() {
    static Win32FileSystem system;
    return system;
}

}  // namespace platform
