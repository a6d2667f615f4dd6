#include "platform/os/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace platform {
namespace {

// Small enough that a piece of a line, decoded, stays well under a megabyte.
constexpr size_t kReadBlockSize = 1 << 16;
constexpr size_t kWriteBlockSize = 1 << 20;
// Leaves room for the temporary name's prefix and suffix within a file name's 255 bytes.
constexpr size_t kLongestTemporaryStem = 200;

std::string ParentFolderOf(const std::string& path) {
    std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A write beyond the file-size limit must fail with EFBIG, not end the program.
void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

mode_t CurrentUmask() {
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

RunError ErrorFromErrno(int errnum, const std::string& path) {
    switch (errnum) {
        case ENOENT:
            return RunError(IsFolder(ParentFolderOf(path)) ? error_code::kFileNotFound
                                                           : error_code::kPathNotFound);
        case ENOTDIR:
            return RunError(error_code::kPathNotFound);
        case EISDIR:
        case ELOOP:
            return RunError(error_code::kPathFileAccess);
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
        case EBUSY:
            return RunError(error_code::kPermissionDenied);
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
            return RunError(error_code::kBadFileName);
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return RunError(error_code::kDiskFull);
        case EIO:
            return RunError(error_code::kDeviceIo);
        case EMFILE:
        case ENFILE:
            return RunError(error_code::kTooManyFiles);
        case ENXIO:
        case ENODEV:
            return RunError(error_code::kDeviceUnavailable);
        default:
            return RunError(error_code::kPathFileAccess);
    }
}

void CheckPathSyntax(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        throw RunError(error_code::kBadFileName);
    }
}

InputFile::InputFile(const std::string& path) : path_(path), buffer_(kReadBlockSize, '\0') {
    CheckPathSyntax(path);
    // Non-blocking, so that a named pipe cannot hold the program before it is refused below,
    // nor a file that blocks on reading afterwards.
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        throw ErrorFromErrno(errno, path);
    }
    struct stat status {};
    if (fstat(fd_, &status) != 0) {
        int err = errno;
        close(fd_);
        throw ErrorFromErrno(err, path);
    }
    // The table is read twice, so only a regular file will do: not a folder, pipe or device.
    if (!S_ISREG(status.st_mode)) {
        close(fd_);
        throw RunError(error_code::kPathFileAccess);
    }
}

InputFile::~InputFile() {
    close(fd_);
}

std::string_view InputFile::ReadBlock() {
    ssize_t count;
    do {
        count = read(fd_, buffer_.data(), buffer_.size());
    } while (count < 0 && errno == EINTR);
    // The descriptor stays non-blocking: a file that would make us wait (some procfs files
    // do) is refused as a pipe is, never waited for.
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        throw RunError(error_code::kPathFileAccess);
    }
    if (count < 0) {
        throw ErrorFromErrno(errno, path_);
    }
    return {buffer_.data(), static_cast<size_t>(count)};
}

void InputFile::Rewind() {
    if (lseek(fd_, 0, SEEK_SET) < 0) {
        throw ErrorFromErrno(errno, path_);
    }
}

FileIdentity InputFile::Identity() const {
    struct stat status {};
    fstat(fd_, &status);
    return {status.st_dev, status.st_ino};
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

AtomicOutputFile::AtomicOutputFile(const std::string& path) {
    CheckPathSyntax(path);
    IgnoreFileSizeSignal();
    targetPath_ = path;
    // Writing through a link means replacing the file it points at, not the link.
    struct stat linkStatus {};
    if (lstat(path.c_str(), &linkStatus) == 0 && S_ISLNK(linkStatus.st_mode)) {
        if (char* resolved = realpath(path.c_str(), nullptr)) {
            targetPath_ = resolved;
            std::free(resolved);
        }
    }

    struct stat status {};
    if (stat(targetPath_.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            throw RunError(error_code::kPathFileAccess);
        }
        // Renaming over a device or a pipe would replace it: refuse anything but a file.
        if (!S_ISREG(status.st_mode)) {
            throw RunError(error_code::kPathFileAccess);
        }
        // The old file must be writable by us, as it would have to be to overwrite it.
        int probe = open(targetPath_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (probe < 0) {
            throw ErrorFromErrno(errno, targetPath_);
        }
        close(probe);
        mode_ = status.st_mode & 07777;
        owner_ = status.st_uid;
        group_ = status.st_gid;
        keepsOwner_ = true;
    } else {
        mode_ = 0666 & ~CurrentUmask();
    }

    std::filesystem::path target(targetPath_);
    std::string stem = target.filename().string().substr(0, kLongestTemporaryStem);
    std::string folder = ParentFolderOf(targetPath_);
    temporaryPath_ = folder + "/." + stem + ".XXXXXX";
    fd_ = mkostemp(temporaryPath_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        int err = errno;
        temporaryPath_.clear();
        throw ErrorFromErrno(err, targetPath_);
    }
}

AtomicOutputFile::~AtomicOutputFile() {
    Discard();
}

void AtomicOutputFile::Write(std::string_view bytes) {
    pending_.append(bytes);
    if (pending_.size() >= kWriteBlockSize) {
        Flush();
    }
}

void AtomicOutputFile::Flush() {
    size_t written = 0;
    while (written < pending_.size()) {
        ssize_t count = write(fd_, pending_.data() + written, pending_.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            throw ErrorFromErrno(count < 0 ? errno : ENOSPC, targetPath_);
        }
        written += static_cast<size_t>(count);
    }
    pending_.clear();
}

void AtomicOutputFile::Commit() {
    Flush();
    // A replaced file keeps its owner where we may give it (as root); its mode always.
    if (keepsOwner_ && fchown(fd_, owner_, group_) != 0) {
        // Not permitted for others; the file then belongs to whoever converted it.
    }
    if (fchmod(fd_, mode_) != 0 || fsync(fd_) != 0) {
        throw ErrorFromErrno(errno, targetPath_);
    }
    int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        throw ErrorFromErrno(errno, targetPath_);
    }
    if (rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
        throw ErrorFromErrno(errno, targetPath_);
    }
    committed_ = true;
    // Make the rename itself durable; a folder that cannot be synced changes nothing.
    int folder = open(ParentFolderOf(targetPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

void AtomicOutputFile::Discard() noexcept {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicOutputFile file(path);
    file.Write(bytes);
    file.Commit();
}

}  // namespace platform
