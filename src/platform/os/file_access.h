#pragma once

#include <sys/types.h>

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

// A regular file opened for reading, read in large blocks. Any failure throws RunError.
class InputFile {
  public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // True when no byte is left.
    bool AtEnd();
    // The next line's bytes. A line ends at CR LF, at CR or at LF; the line end is consumed
    // and not returned. The reference stays valid until the next call.
    const std::string& ReadLine();
    void Rewind();
    FileIdentity Identity() const;

  private:
    bool Fill();  // false at the end of the file
    const char* FindLineEnd(const char* begin, const char* end);

    std::string path_;
    int fd_ = -1;
    std::string buffer_;
    size_t position_ = 0;
    size_t length_ = 0;
    const char* nextCarriageReturn_ = nullptr;
    const char* nextLineFeed_ = nullptr;
    std::string line_;
};

// The identity of the file a path names, following links; false where there is none.
bool IdentityOf(const std::string& path, FileIdentity& identity);

}  // namespace platform
