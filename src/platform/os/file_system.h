#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/run_error.h"

namespace platform {

// What separates the folders of a path, and what the programs put between them. Windows takes
// both slashes and shows backslashes.
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "/\\";
inline constexpr char kPreferredSeparator = '\\';
#else
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr char kPreferredSeparator = '/';
#endif

// The last part of a path: what follows its last separator (on Windows also a drive's colon,
// as in C:名前.csv); empty for a path that ends in a separator.
inline std::string_view FileNameOf(std::string_view path) {
    size_t at = path.find_last_of(kPathSeparators);
#ifdef _WIN32
    if (at == std::string_view::npos && path.size() >= 2 && path[1] == ':') {
        at = 1;
    }
#endif
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

// The folder a path names a file in: what comes before its file name, "." where nothing does.
inline std::string FolderOf(std::string_view path) {
    const std::string_view folder = path.substr(0, path.size() - FileNameOf(path).size());
    return folder.empty() ? std::string(".") : std::string(folder);
}

// Fails with code 52 for an empty path or one holding a NUL character.
void CheckPathSyntax(const std::string& path);

// Which file a path names, whatever the path: two paths (links included) that name the same
// file have the same identity. Only ever compared: what tells files apart is the system's own
// (a device and an inode number on POSIX, a volume serial and a file id on Windows), and only
// the code that makes identities sees it (file_identity_words.h).
class FileIdentity {
  public:
    FileIdentity() = default;  // no file; equal only to another made so
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;

  private:
    friend struct FileIdentityWords;
    std::array<uint64_t, 3> words_{};
};

// A whole file read at once, up to a bound, for formats that are read whole.
struct BoundedRead {
    enum class Status { kRead, kNotRegularFile, kTooLarge };
    Status status = Status::kRead;
    std::string bytes;  // kRead only
    FileIdentity identity{};
};

// A regular file opened for reading, read in blocks. Any failure throws RunError.
class InputFile {
  public:
    virtual ~InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The next block of bytes; empty at the end of the file. The view stays valid until the
    // next call.
    virtual std::string_view ReadBlock() = 0;
    virtual void Rewind() = 0;
    virtual FileIdentity Identity() const = 0;
    // Everything from where reading stands to the end, at once, for a format read whole once
    // its first block has told what it is: kTooLarge (and no bytes) where more than `limit`
    // bytes are left, kNotRegularFile where the open file is no regular file after all.
    virtual BoundedRead ReadRest(size_t limit) = 0;

  protected:
    InputFile() = default;
};

// Where tests put faults in the way; left as they are, they change nothing.
struct OutputFileSeams {
    bool unnamedFiles = true;              // false: always a named temporary file
    std::function<void()> beforeRename;    // runs right before the target is re-checked
    std::function<void()> namedTemporary;  // runs as soon as a temporary name is on disk
    std::function<bool()> syncFolder;      // stands in for syncing the folder; false: it failed
    std::function<void()> afterFlush;      // runs between the flush and the reading back
};

// A new file beside a path, put in place in one atomic step on Commit. Until then, and after
// any failure, the file at the path stays exactly as it was and nothing is left behind: the
// new file has no name until it is complete where the file system allows it, and a named
// temporary file is removed on failure and on Ctrl-C, SIGTERM or SIGHUP. A link at the path
// is followed as a shell's `>` follows it. An existing file that may not be written fails at
// once with code 70; a replaced file keeps its permission bits, its owner where we may give
// it, its ACL and its user.* attributes; a new file gets what the umask or the folder's
// default ACL give it. Dropped without Commit, it leaves the path as it was.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    virtual void Write(std::string_view bytes) = 0;
    // Fails with code 75, changing nothing, where the entry at the target is no longer what
    // creating the output found, or where what it would replace is `mustNotReplace` (the
    // input of a conversion, which someone may have put there meanwhile). A folder that
    // cannot be synced after the rename fails with 57, as does a medium that cannot be flushed or
    // does not give back the bytes written; the new file is then in place (as far as the
    // medium kept it).
    virtual void Commit(std::optional<FileIdentity> mustNotReplace = std::nullopt) = 0;

  protected:
    OutputFile() = default;
};

// What a path names, for a folder the user gives: nothing, a folder, or something else.
enum class EntryKind { kNone, kFolder, kOther };

// Every file operation the programs make, so that a test can hand them a file system of its
// own. Each throws RunError where the system refuses, with the codes the user looks up.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The regular file at `path`; a folder, pipe or device is refused with 75 without
    // waiting on it, as is a file that would make a read wait.
    virtual std::unique_ptr<InputFile> OpenInput(const std::string& path) = 0;
    // The regular file at `path` if it holds at most `limit` bytes; a folder, pipe or device
    // is told (kNotRegularFile) without waiting on it. Throws where it cannot be opened or read.
    virtual BoundedRead ReadBoundedFile(const std::string& path, size_t limit) = 0;
    // A new file that replaces the one at `path` on Commit (see OutputFile).
    virtual std::unique_ptr<OutputFile> CreateOutput(const std::string& path,
                                                     OutputFileSeams seams) = 0;

    // The identity of the file a path names, following links; none where there is no such file.
    virtual std::optional<FileIdentity> IdentityOf(const std::string& path) = 0;
    // Whether two paths may name one file where identities cannot tell: through FUSE, a medium
    // that ignores case numbers each spelling of a name apart (fare.txt, FARE.TXT). True for
    // two regular files on one device whose names differ at most in case and whose size and
    // time of last change are equal: the one case where refusing to write is the safe guess.
    virtual bool MayNameOneFile(const std::string& first, const std::string& second) = 0;
    // Whether the folder at `path` takes two names that differ only in case for one file (FAT,
    // exFAT). Where that cannot be asked, true, so that a caller keeps two such outputs apart
    // rather than have one overwrite the other.
    virtual bool FolderIgnoresCase(const std::string& path) = 0;
    // Throws where what the path names cannot be told.
    virtual EntryKind EntryKindOf(const std::string& path) = 0;
};

// The file system of the computer the program runs on, for the programs' front ends.
FileSystem& SystemFileSystem();

}  // namespace platform
