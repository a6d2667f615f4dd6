#include <algorithm>

#include "platform/os/win32/wide_text.h"
#include "platform/os/win32/win32_error.h"
#include "platform/os/win32/win32_file_system.h"
#include "platform/os/written_digest.h"

namespace platform {
namespace {

constexpr size_t kWriteBlockSize = 1 << 20;
constexpr int kNameAttempts = 100;

RunError ReplacedMeanwhile() {
    return RunError(error_code::kPathFileAccess).WithCause(FileCause::kReplacedMeanwhile);
}

// Marks the open file to be deleted when its last handle closes, or takes the mark away: a
// temporary file left by a program that ends unexpectedly goes with it.
bool MarkForDeletion(HANDLE file, bool deleteIt) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleteIt ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

// The identity of the file at `path` now, or none.
std::optional<FileIdentity> IdentityNow(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    return IdentityOfHandle(file.get());
}

// Whether the file at `path` reads back as `meant`, read past the system's cache where the
// medium allows it (unbuffered reads go in whole sectors, into a page-aligned buffer).
bool MediumHolds(const std::wstring& path, const WrittenDigest& meant) {
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                            FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        file.Reset(CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    }
    if (!file.valid()) {
        return true;  // another program holds it now; the flush stands
    }
    constexpr DWORD kBlock = 1 << 16;
    void* block = VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (block == nullptr) {
        return true;
    }
    WrittenDigest found;
    DWORD count = 0;
    bool complete = true;
    while ((complete = ReadFile(file.get(), block, kBlock, &count, nullptr) != 0) && count > 0) {
        found.Add(std::string_view(static_cast<const char*>(block), count));
    }
    VirtualFree(block, 0, MEM_RELEASE);
    return complete && found == meant;
}

// Writes into a hidden temporary file beside the target, marked for deletion until it is
// complete, and puts it in place on Commit: ReplaceFileW over an existing file (which keeps
// that file's ACL and attributes), MoveFileExW where there was none or the medium cannot
// replace (FAT cards).
class Win32OutputFile final : public OutputFile {
  public:
    Win32OutputFile(const std::string& path, OutputFileSeams seams);
    ~Win32OutputFile() override { Discard(); }
    void Write(std::string_view bytes) override;
    void Commit(std::optional<FileIdentity> mustNotReplace) override;

  private:
    void CheckExistingTarget();
    void CreateTemporary();
    void Flush();
    void PutInPlace();
    bool SyncNewFile();
    void Discard() noexcept;

    std::string path_;
    OutputFileSeams seams_;
    std::wstring target_;
    std::optional<FileIdentity> existing_;
    std::wstring temporary_;
    Handle file_;
    bool markedForDeletion_ = false;
    std::string pending_;
    WrittenDigest meant_;
    bool committed_ = false;
};

Win32OutputFile::Win32OutputFile(const std::string& path, OutputFileSeams seams)
    : path_(path), seams_(std::move(seams)) {
    RefuseNameWindowsCannotCreate(path);
    target_ = ExtendedPath(path);
    CheckExistingTarget();
    CreateTemporary();
}

// An existing file must be one we may write and that no other program holds: asked by opening
// it for writing and deleting, as replacing it will, and closing it again unchanged.
void Win32OutputFile::CheckExistingTarget() {
    DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            throw ErrorFromWin32(error, path_);
        }
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RunError(error_code::kPathFileAccess);
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw RunError(error_code::kPermissionDenied);
    }
    Handle old(CreateFileW(target_.c_str(), GENERIC_WRITE | DELETE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!old.valid()) {
        throw ErrorFromWin32(GetLastError(), path_);
    }
    if (GetFileType(old.get()) != FILE_TYPE_DISK) {
        throw RunError(error_code::kPathFileAccess);
    }
    existing_ = IdentityOfHandle(old.get());
}

void Win32OutputFile::CreateTemporary() {
    std::wstring folder = ParentOf(target_);
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::wstring name = folder + RandomTemporaryName();
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
                continue;
            }
            throw ErrorFromWin32(error, path_);
        }
        file_.Reset(file);
        temporary_ = name;
        markedForDeletion_ = MarkForDeletion(file, true);
        if (seams_.namedTemporary) {
            seams_.namedTemporary();
        }
        return;
    }
    throw RunError(error_code::kPathFileAccess);
}

void Win32OutputFile::Write(std::string_view bytes) {
    meant_.Add(bytes);
    pending_.append(bytes);
    if (pending_.size() >= kWriteBlockSize) {
        Flush();
    }
}

void Win32OutputFile::Flush() {
    size_t written = 0;
    while (written < pending_.size()) {
        DWORD count = 0;
        DWORD ask = static_cast<DWORD>(std::min<size_t>(pending_.size() - written, 1u << 30));
        if (!WriteFile(file_.get(), pending_.data() + written, ask, &count, nullptr)) {
            throw ErrorFromWin32(GetLastError(), path_);
        }
        if (count == 0) {
            throw RunError(error_code::kDiskFull);
        }
        written += count;
    }
    pending_.clear();
}

void Win32OutputFile::Commit(std::optional<FileIdentity> mustNotReplace) {
    Flush();
    // The data reaches the medium before the name does.
    if (!FlushFileBuffers(file_.get())) {
        throw ErrorFromWin32(GetLastError(), path_);
    }
    if (seams_.beforeRename) {
        seams_.beforeRename();
    }
    if (IdentityNow(target_) != existing_) {
        throw ReplacedMeanwhile();
    }
    if (mustNotReplace && existing_ == mustNotReplace) {
        throw RunError(error_code::kPathFileAccess, fare_model::Reason::kSameFile);
    }
    // Complete now: it keeps its name once the handle closes, and shows like any other file.
    if (markedForDeletion_ && !MarkForDeletion(file_.get(), false)) {
        throw ErrorFromWin32(GetLastError(), path_);
    }
    markedForDeletion_ = false;
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic);
    file_.Close();
    PutInPlace();
    committed_ = true;
    bool synced = seams_.syncFolder ? seams_.syncFolder() : SyncNewFile();
    if (!synced) {
        throw RunError(error_code::kDeviceIo);
    }
    if (seams_.afterFlush) {
        seams_.afterFlush();
    }
    if (!MediumHolds(target_, meant_)) {
        throw RunError(error_code::kDeviceIo).WithCause(FileCause::kNotKept);
    }
}

void Win32OutputFile::PutInPlace() {
    if (!existing_) {
        // Where there was no file, one that appeared meanwhile is not replaced.
        if (!MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH)) {
            throw ErrorFromWin32(GetLastError(), path_);
        }
        return;
    }
    if (ReplaceFileW(target_.c_str(), temporary_.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        return;
    }
    DWORD error = GetLastError();
    // ERROR_UNABLE_TO_MOVE_REPLACEMENT: the old file is already gone and the new one still has
    // its temporary name; ERROR_UNABLE_TO_REMOVE_REPLACED and the refusals of media that cannot
    // replace (FAT) changed nothing. Either way the new file is moved in place.
    bool movable = error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                   error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_INVALID_FUNCTION ||
                   error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
    if (!movable) {
        throw ErrorFromWin32(error, path_);
    }
    if (!MoveFileExW(temporary_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw ErrorFromWin32(GetLastError(), path_);
    }
}

// Asks the medium to hold the file under its new name; a file another program has opened
// meanwhile (a virus scanner) is in place all the same.
bool Win32OutputFile::SyncNewFile() {
    Handle placed(CreateFileW(target_.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !placed.valid() || FlushFileBuffers(placed.get()) != 0;
}

void Win32OutputFile::Discard() noexcept {
    bool wasMarked = markedForDeletion_;
    file_.Close();
    if (!committed_ && !temporary_.empty() && !wasMarked) {
        DeleteFileW(temporary_.c_str());
    }
}

}  // namespace

std::unique_ptr<OutputFile> Win32FileSystem::CreateOutput(const std::string& path,
                                                          OutputFileSeams seams) {
    return std::make_unique<Win32OutputFile>(path, std::move(seams));
}

}  // namespace platform
