#include "platform/os/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace platform {
namespace {

// Small enough that a piece of a line, decoded, stays well under a megabyte.
constexpr size_t kReadBlockSize = 1 << 16;

std::string ParentFolderOf(const std::string& path) {
    std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
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

}  // namespace platform
