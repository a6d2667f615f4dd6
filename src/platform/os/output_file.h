#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/os/run_error.h"

namespace platform {

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
