#include "platform/os/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "platform/os/file_access.h"
#include "platform/os/posix/errno_error.h"
#include "platform/os/posix/file_identity.h"
#include "platform/os/posix/medium_check.h"
#include "platform/os/posix/temporary_files.h"

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

void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

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

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Non-blocking, so that a named pipe cannot hold the program before it is refused.
int OpenForReading(const std::string& path) {
    CheckPathSyntax(path);
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        throw ErrorFromErrno(errno, path);
    }
    return fd;
}

// What is left of the open file `fd` from where reading stands, if that is at most `limit`
// bytes. `mayWait` lets reading block; otherwise a file that would make us wait (some procfs
// files do) is refused as a pipe is, never waited for.
BoundedRead ReadRestOf(int fd, const std::string& path, size_t limit, bool mayWait) {
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        throw ErrorFromErrno(errno, path);
    }
    BoundedRead result;
    result.identity = IdentityFromStatus(status);
    if (!S_ISREG(status.st_mode)) {
        result.status = BoundedRead::Status::kNotRegularFile;
        return result;
    }
    off_t at = lseek(fd, 0, SEEK_CUR);
    if (at < 0) {
        throw ErrorFromErrno(errno, path);
    }
    if (status.st_size > at && static_cast<unsigned long long>(status.st_size - at) > limit) {
        result.status = BoundedRead::Status::kTooLarge;
        return result;
    }
    if (mayWait) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }

    // The file may grow while it is read: the bound holds for what is read, not the size seen.
    char block[65536];
    for (;;) {
        ssize_t count = read(fd, block, sizeof block);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            throw RunError(error_code::kPathFileAccess);
        }
        if (count < 0) {
            throw ErrorFromErrno(errno, path);
        }
        if (count == 0) {
            return result;
        }
        if (result.bytes.size() + static_cast<size_t>(count) > limit) {
            result.bytes.clear();
            result.status = BoundedRead::Status::kTooLarge;
            return result;
        }
        result.bytes.append(block, static_cast<size_t>(count));
    }
}

class PosixInputFile final : public InputFile {
  public:
    explicit PosixInputFile(const std::string& path);
    ~PosixInputFile() override { close(handle_); }

    std::string_view ReadBlock() override;
    void Rewind() override;
    FileIdentity Identity() const override;
    BoundedRead ReadRest(size_t limit) override;

  private:
    std::string path_;
    int handle_ = -1;
    std::string buffer_;
};

PosixInputFile::PosixInputFile(const std::string& path)
    : path_(path), buffer_(kReadBlockSize, '\0') {
    // Non-blocking also for the reading afterwards: see ReadBlock.
    handle_ = OpenForReading(path);
    struct stat status {};
    if (fstat(handle_, &status) != 0) {
        int err = errno;
        close(handle_);
        throw ErrorFromErrno(err, path);
    }
    // The table is read twice, so only a regular file will do: not a folder, pipe or device.
    if (!S_ISREG(status.st_mode)) {
        close(handle_);
        throw RunError(error_code::kPathFileAccess);
    }
}

std::string_view PosixInputFile::ReadBlock() {
    ssize_t count;
    do {
        count = read(handle_, buffer_.data(), buffer_.size());
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

void PosixInputFile::Rewind() {
    if (lseek(handle_, 0, SEEK_SET) < 0) {
        throw ErrorFromErrno(errno, path_);
    }
}

FileIdentity PosixInputFile::Identity() const {
    struct stat status {};
    fstat(handle_, &status);
    return IdentityFromStatus(status);
}

BoundedRead PosixInputFile::ReadRest(size_t limit) {
    return ReadRestOf(handle_, path_, limit, false);
}

}  // namespace

std::unique_ptr<InputFile> PosixFileSystem::OpenInput(const std::string& path) {
    return std::make_unique<PosixInputFile>(path);
}

std::optional<FileIdentity> PosixFileSystem::IdentityOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return IdentityFromStatus(status);
}

bool PosixFileSystem::FolderIgnoresCase(const std::string& path) {
    int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return true;
    }
    // The probe below would miss FAT with case-sensitive lookups (iocharset=utf8).
    if (KeepsOneNameForEveryCase(folder)) {
        close(folder);
        return true;
    }
    std::string probe = RandomTemporaryName();
    int made = openat(folder, probe.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (made < 0) {
        close(folder);
        return true;
    }
    close(made);
    std::string otherCase = probe;
    std::transform(otherCase.begin(), otherCase.end(), otherCase.begin(), [](char c) {
        return std::islower(static_cast<unsigned char>(c)) ? static_cast<char>(c - 32)
                                                           : static_cast<char>(std::tolower(c));
    });
    struct stat status {};
    bool ignores = fstatat(folder, otherCase.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    unlinkat(folder, probe.c_str(), 0);
    close(folder);
    return ignores;
}

bool PosixFileSystem::MayNameOneFile(const std::string& first, const std::string& second) {
    struct stat a {
    }, b{};
    if (stat(first.c_str(), &a) != 0 || stat(second.c_str(), &b) != 0) {
        return false;
    }
    auto foldedName = [](const std::string& path) {
        return AsciiLowercase(std::filesystem::path(path).filename().string());
    };
    return S_ISREG(a.st_mode) && S_ISREG(b.st_mode) && a.st_dev == b.st_dev &&
           a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && foldedName(first) == foldedName(second);
}

BoundedRead PosixFileSystem::ReadBoundedFile(const std::string& path, size_t limit) {
    Descriptor file(OpenForReading(path));
    return ReadRestOf(file.get(), path, limit, true);
}

EntryKind PosixFileSystem::EntryKindOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) {
            return EntryKind::kNone;
        }
        throw ErrorFromErrno(errno, path);
    }
    return S_ISDIR(status.st_mode) ? EntryKind::kFolder : EntryKind::kOther;
}

FileSystem& SystemFileSystem() {
    static PosixFileSystem system;
    return system;
}

}  // namespace platform
