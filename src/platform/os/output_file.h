#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/file_access.h"
#include "platform/os/run_error.h"

namespace platform {

// Where tests put faults in the way; left as they are, they change nothing.
struct OutputFileSeams {
    bool unnamedFiles = true;              // false: always a named temporary file
    std::function<void()> beforeRename;    // runs right before the target is re-checked
    std::function<void()> namedTemporary;  // runs as soon as a temporary name is on disk
    std::function<int(int)> syncFolder;    // stands in for syncing the folder (its handle)
};

// Writes a new file beside `path` and puts it in place in one atomic step on Commit. Until
// then, and after any failure, the file at `path` stays exactly as it was and nothing is
// left behind: the new file has no name until it is complete where the file system allows
// it, and a named temporary file is removed on failure and on Ctrl-C, SIGTERM or SIGHUP.
// A link at `path` is followed as a shell's `>` follows it (see ResolveOutputTarget). An
// existing file that may not be written fails at once with code 70; a replaced file keeps
// its permission bits, its owner where we may give it, its ACL and its user.* attributes;
// a new file gets what the umask or the folder's default ACL give it.
class AtomicOutputFile {
  public:
    explicit AtomicOutputFile(const std::string& path, OutputFileSeams seams = {});
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    void Write(std::string_view bytes);
    // Fails with code 75, changing nothing, where the entry at the target is no longer what
    // the constructor found, or where what it would replace is `mustNotReplace` (the input
    // of a conversion, which someone may have put there meanwhile). A folder that cannot be
    // synced after the rename fails with 57; the new file is then in place.
    void Commit(std::optional<FileIdentity> mustNotReplace = std::nullopt);

  private:
    struct Impl;  // the system's own (posix/output_file.cpp)
    std::unique_ptr<Impl> impl_;
};

// Replaces (or creates) the file at `path` with `bytes`, atomically as above.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
