#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

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

}  // namespace platform
