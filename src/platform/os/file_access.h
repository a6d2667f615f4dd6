#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/run_error.h"

namespace platform {

// Fails with code 52 for an empty path or one holding a NUL character.
void CheckPathSyntax(const std::string& path);

// Which file a path names, whatever the path: two paths (links included) that name the same
// file have the same identity.
struct FileIdentity {
    uint64_t device;
    uint64_t inode;
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
    int handle_ = -1;  // the system's own handle of the open file
    std::string buffer_;
};

// The identity of the file a path names, following links; none where there is no such file.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// `name` with A to Z made a to z and every other byte kept: how FAT and exFAT compare the
// names this program makes, and how a file's extension is told whatever its case.
inline std::string AsciiLowercase(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// Whether two paths may name one file where identities cannot tell: through FUSE, a medium
// that ignores case numbers each spelling of a name apart (fare.txt, FARE.TXT). True for two
// regular files on one device whose names differ at most in case and whose size and time of
// last change are equal: the one case where refusing to write is the safe guess.
bool MayNameOneFile(const std::string& first, const std::string& second);

// Whether the folder at `path` takes two names that differ only in case for one file (FAT,
// exFAT): asked by making a hidden file there for a moment. Where that cannot be asked, true,
// so that a caller keeps two such outputs apart rather than have one overwrite the other.
bool FolderIgnoresCase(const std::string& path);

// A whole file read at once, up to a bound, for formats that are read whole.
struct BoundedRead {
    enum class Status { kRead, kNotRegularFile, kTooLarge };
    Status status = Status::kRead;
    std::string bytes;  // kRead only
    FileIdentity identity{};
};
// Reads the regular file at `path` if it holds at most `limit` bytes; a folder, pipe or device
// is refused without waiting on it. Throws RunError where the file cannot be opened or read.
BoundedRead ReadBoundedFile(const std::string& path, size_t limit);

// What a path names, for a folder the user gives: nothing, a folder, or something else.
// Throws RunError where that cannot be told.
enum class EntryKind { kNone, kFolder, kOther };
EntryKind EntryKindOf(const std::string& path);

}  // namespace platform
