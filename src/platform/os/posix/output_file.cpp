#include "platform/os/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os/posix/errno_error.h"
#include "platform/os/posix/file_identity.h"
#include "platform/os/posix/file_metadata.h"
#include "platform/os/posix/medium_check.h"
#include "platform/os/posix/output_target.h"
#include "platform/os/posix/temporary_files.h"
#include "platform/os/posix/temporary_name_guard.h"

namespace platform {
namespace {

constexpr size_t kWriteBlockSize = 1 << 20;
constexpr int kNameAttempts = 100;

RunError SameFileError() {
    return RunError(error_code::kPathFileAccess, fare_model::Reason::kSameFile);
}

// A file system that cannot sync folders says EINVAL; a read-only one has nothing to sync.
bool SyncFolder(int folder) {
    return fsync(folder) == 0 || errno == EINVAL || errno == EROFS;
}

RunError ReplacedMeanwhile() {
    return RunError(error_code::kPathFileAccess).WithCause(FileCause::kReplacedMeanwhile);
}

// Writes into a file without a name (O_TMPFILE) where the file system allows it, else into a
// hidden temporary file beside the target, and renames it over the target on Commit.
class PosixOutputFile final : public OutputFile {
  public:
    PosixOutputFile(const std::string& path, OutputFileSeams seams);
    ~PosixOutputFile() override;
    void Write(std::string_view bytes) override;
    void Commit(std::optional<FileIdentity> mustNotReplace) override;

  private:
    void CreateNamedTemporary();
    // Makes the temporary file under a fresh hidden name with `create` (false with errno on
    // failure) and guards it from the moment the name is on disk.
    void NameTemporary(const std::function<bool(const char*)>& create);
    void CopyMetadataOfReplacedFile();
    int OpenReplacedFileForReading();
    void PutInPlace();
    RunError NamingError(int err) const;
    void Flush();
    void Discard() noexcept;

    std::string path_;
    OutputFileSeams seams_;
    OutputTarget target_;
    int fd_ = -1;
    bool unnamed_ = false;
    std::string temporaryName_;
    std::unique_ptr<TemporaryNameGuard> guard_;
    std::string pending_;
    WrittenDigest meant_;
    bool committed_ = false;
};

PosixOutputFile::PosixOutputFile(const std::string& path, OutputFileSeams seams)
    : path_(path), seams_(std::move(seams)) {
    IgnoreFileSizeSignal();
    target_ = ResolveOutputTarget(path);
    try {
        RemoveTemporariesOfEndedRuns(target_.folder);
        // Asked without opening the old file for writing, which watchers would take as a change.
        if (target_.existing &&
            faccessat(target_.folder, target_.name.c_str(), W_OK, AT_EACCESS) != 0) {
            throw ErrorFromErrno(errno, path_);
        }
        if (seams_.unnamedFiles) {
            // Mode 0666 lets the kernel apply the umask or the folder's default ACL.
            fd_ = openat(target_.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
                throw ErrorFromErrno(errno, path_);
            }
            unnamed_ = fd_ >= 0;
        }
        if (!unnamed_) {
            CreateNamedTemporary();
        }
        LockAsWriter(fd_);
    } catch (...) {
        Discard();
        CloseTarget(target_);
        throw;
    }
}

PosixOutputFile::~PosixOutputFile() {
    Discard();
    CloseTarget(target_);
}

void PosixOutputFile::CreateNamedTemporary() {
    NameTemporary([&](const char* name) {
        fd_ = openat(target_.folder, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW,
                     0666);
        return fd_ >= 0;
    });
}

void PosixOutputFile::NameTemporary(const std::function<bool(const char*)>& create) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = RandomTemporaryName();
        // A signal that comes before the guard is in place is handled right after it.
        CleanedSignalsHeld held;
        if (create(name.c_str())) {
            if (seams_.namedTemporary) {
                seams_.namedTemporary();
            }
            temporaryName_ = name;
            guard_ = std::make_unique<TemporaryNameGuard>(target_.folder, name.c_str());
            return;
        }
        if (errno != EEXIST) {
            throw ErrorFromErrno(errno, path_);
        }
    }
    throw RunError(error_code::kPathFileAccess);
}

void PosixOutputFile::Write(std::string_view bytes) {
    meant_.Add(bytes);
    pending_.append(bytes);
    if (pending_.size() >= kWriteBlockSize) {
        Flush();
    }
}

void PosixOutputFile::Flush() {
    size_t written = 0;
    while (written < pending_.size()) {
        ssize_t count = write(fd_, pending_.data() + written, pending_.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            throw ErrorFromErrno(count < 0 ? errno : ENOSPC, path_);
        }
        written += static_cast<size_t>(count);
    }
    pending_.clear();
}

// Like `cp` onto an existing file, the replaced file's owner, mode, ACL and user attributes
// are kept where the medium stores them; where it refuses them (FAT, exFAT, NTFS, FUSE), the
// new file has what the medium gives every file, and the run goes on.
void PosixOutputFile::CopyMetadataOfReplacedFile() {
    const struct stat& old = *target_.existing;
    // The owner where we may give it (as root); otherwise the file is the converter's.
    if (fchown(fd_, old.st_uid, old.st_gid) != 0) {
    }
    if (fchmod(fd_, old.st_mode & 07777) != 0 && !RefusedByMedium(errno)) {
        throw ErrorFromErrno(errno, path_);
    }
    int oldFd = OpenReplacedFileForReading();
    if (oldFd < 0) {
        // A file we may write but not read keeps no attributes we could see anyway.
        if (errno == EACCES) {
            return;
        }
        throw ErrorFromErrno(errno, path_);
    }
    bool copied = CopyAccessMetadata(oldFd, fd_);
    int err = errno;
    close(oldFd);
    if (!copied) {
        throw ErrorFromErrno(err, path_);
    }
}

// Read-only, so that the old file is not seen as changed, and the very file held since the
// target was resolved.
int PosixOutputFile::OpenReplacedFileForReading() {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    std::string held = "/proc/self/fd/" + std::to_string(target_.held);
    int oldFd = open(held.c_str(), kFlags);
    if (oldFd >= 0 || errno != ENOENT) {
        return oldFd;
    }
    // Without /proc: by its name, and only if the name still leads to the file held.
    oldFd = openat(target_.folder, target_.name.c_str(), kFlags | O_NOFOLLOW);
    struct stat opened {};
    struct stat kept {};
    if (oldFd >= 0 && (fstat(oldFd, &opened) != 0 || fstat(target_.held, &kept) != 0 ||
                       opened.st_dev != kept.st_dev || opened.st_ino != kept.st_ino)) {
        close(oldFd);
        throw ReplacedMeanwhile();
    }
    return oldFd;
}

void PosixOutputFile::Commit(std::optional<FileIdentity> mustNotReplace) {
    Flush();
    if (target_.existing) {
        CopyMetadataOfReplacedFile();
    }
    if (fsync(fd_) != 0) {
        throw ErrorFromErrno(errno, path_);
    }
    const OutputFileSeams& seams = seams_;
    if (seams.beforeRename) {
        seams.beforeRename();
    }
    if (!TargetUnchanged(target_)) {
        throw ReplacedMeanwhile();
    }
    if (mustNotReplace && target_.existing &&
        IdentityFromStatus(*target_.existing) == *mustNotReplace) {
        throw SameFileError();
    }
    PutInPlace();
    committed_ = true;
    guard_.reset();
    // Success is said only when the card itself holds the new file: the rename made durable
    // (vfat writes the directory entry only when the whole file system is flushed), then the
    // file read back from the medium, as careful card writers do.
    bool synced = seams.syncFolder ? seams.syncFolder() : SyncFolder(target_.folder);
    if (!synced) {
        throw RunError(error_code::kDeviceIo);
    }
    if (!FlushMediumWhereFolderFlushIsNotEnough(fd_)) {
        throw RunError(error_code::kDeviceIo).WithCause(FileCause::kNotFlushed);
    }
    if (seams.afterFlush) {
        seams.afterFlush();
    }
    if (!MediumHolds(fd_, meant_)) {
        throw RunError(error_code::kDeviceIo).WithCause(FileCause::kNotKept);
    }
}

void PosixOutputFile::PutInPlace() {
    const char* name = target_.name.c_str();
    if (unnamed_) {
        // Named only now, complete: a kill before this leaves nothing behind.
        std::string self = "/proc/self/fd/" + std::to_string(fd_);
        auto link = [&](const char* linkName) {
            if (linkat(AT_FDCWD, self.c_str(), target_.folder, linkName, AT_SYMLINK_FOLLOW) == 0) {
                return true;
            }
            return errno == ENOENT && linkat(fd_, "", target_.folder, linkName, AT_EMPTY_PATH) == 0;
        };
        if (!target_.existing) {
            if (!link(name)) {
                throw NamingError(errno);
            }
            return;
        }
        NameTemporary(link);
    }
    // Where there was no file, one that appeared meanwhile is not replaced.
    unsigned flags = target_.existing ? 0 : RENAME_NOREPLACE;
    int renamed = renameat2(target_.folder, temporaryName_.c_str(), target_.folder, name, flags);
    if (renamed != 0 && errno == EINVAL && flags != 0) {
        renamed = renameat(target_.folder, temporaryName_.c_str(), target_.folder, name);
    }
    if (renamed != 0) {
        throw NamingError(errno);
    }
}

// Where there was no file of that name, a refusal of the name, while the temporary file beside
// it could be made, means that the medium cannot store it (FAT without Japanese names, a
// character FAT forbids); the media say so in different words.
RunError PosixOutputFile::NamingError(int err) const {
    if (err == EEXIST) {
        return ReplacedMeanwhile();
    }
    bool temporaryThere = !unnamed_ && faccessat(target_.folder, temporaryName_.c_str(), F_OK,
                                                 AT_SYMLINK_NOFOLLOW) == 0;
    bool refused =
        err == EINVAL || err == EILSEQ || (temporaryThere && (err == EPERM || err == ENOENT));
    if (!target_.existing && refused) {
        return RunError(error_code::kBadFileName).WithCause(FileCause::kNameNotStorable);
    }
    return ErrorFromErrno(err, path_);
}

void PosixOutputFile::Discard() noexcept {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !temporaryName_.empty()) {
        unlinkat(target_.folder, temporaryName_.c_str(), 0);
    }
    guard_.reset();
}

}  // namespace

std::unique_ptr<OutputFile> PosixFileSystem::CreateOutput(const std::string& path,
                                                          OutputFileSeams seams) {
    return std::make_unique<PosixOutputFile>(path, std::move(seams));
}

}  // namespace platform
