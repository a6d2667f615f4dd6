#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/os/run_error.h"

namespace platform {

// Turns an errno met on `path` into the RunError the user sees.
RunError ErrorFromErrno(int errnum, const std::string& path);

// Fails with code 52 for an empty path or one holding a NUL character.
void CheckPathSyntax(const std::string& path);

struct FileIdentity {
    dev_t device;
    ino_t inode;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A regular file opened for reading, read in blocks. Any failure throws RunError.
class InputFile {
  public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The next block of bytes; empty at the end of the file. The view stays valid until the
    // next call.
    std::string_view ReadBlock();
    void Rewind();
    FileIdentity Identity() const;

  private:
    std::string path_;
    int fd_ = -1;
    std::string buffer_;
};

// The identity of the file a path names, following links; none where there is no such file.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Writes a new file beside `path` and puts it in place with one atomic rename on Commit.
// Until then, and after any failure, the file at `path` stays exactly as it was, and the
// temporary file is removed. An existing file that may not be written fails at once with
// code 70; a replaced file keeps its permission bits.
class AtomicOutputFile {
  public:
    explicit AtomicOutputFile(const std::string& path);
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    void Write(std::string_view bytes);
    void Commit();

  private:
    void Flush();
    void Discard() noexcept;

    std::string targetPath_;
    std::string temporaryPath_;
    int fd_ = -1;
    mode_t mode_ = 0;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    bool keepsOwner_ = false;
    std::string pending_;
    bool committed_ = false;
};

// Replaces (or creates) the file at `path` with `bytes`, atomically as above.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
