#pragma once

// Helpers shared by every test, benchmark and fuzz target, without Qt: a scratch folder,
// whole-file reads and writes, code page 932 bytes made with iconv directly, and the
// expected .hy3 bytes built independently of the writer under test.

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/types.h>
#endif

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// A fresh folder under `base`, removed with everything in it, even where a test made a
// folder read-only or a file immutable.
class ScratchFolder {
  public:
    explicit ScratchFolder(
        const std::filesystem::path& base = std::filesystem::temp_directory_path());
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The UTF-8 path of `name` (UTF-8) in the folder, as the programs take paths.
    std::string Path(std::string_view name) const;
    const std::filesystem::path& Root() const { return root_; }

    // The names in the folder (not recursive), to see that no temporary file is left.
    std::set<std::string> Names() const;

  private:
    std::filesystem::path root_;
};

// A folder in memory where there is one (/dev/shm), else the system's temporary folder: for
// work that writes files many thousand times.
std::filesystem::path MemoryBackedFolder();

void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);
// The file's bytes, or nothing where it cannot be opened (it does not exist).
std::optional<std::string> ReadBytesIfPresent(const std::filesystem::path& path);

// Paths as UTF-8 text, on every system (Windows' narrow paths are in its ANSI code page).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8(const std::filesystem::path& path);

// Whether anything, even a dangling link, has this name.
bool Exists(const std::string& path);

#ifndef _WIN32
mode_t PermissionBits(const std::string& path);

// Sets or clears the immutable attribute, which holds even for root. False (with errno set)
// where the file system or the process's privileges do not allow it.
bool SetImmutable(const std::filesystem::path& path, bool immutable);
#endif

// UTF-8 text to code page 932 bytes, straight through iconv (Windows' own conversions there).
std::string Cp932(std::string_view utf8);
// Text from one encoding to another, named as iconv names them ("UTF-16LE"): CP932, UTF-8,
// UTF-16LE and UTF-16BE.
std::string Recode(std::string_view text, const char* to, const char* from);

void AppendLe16(std::string& out, int value);

// One expected row: the name as code page 932 bytes, the zone and the leading fares.
struct ExpectedRow {
    std::string nameBytes;
    int zone = 0;
    std::vector<int> fares;
};

// The .hy3 bytes for `rows`, built from the layout alone.
std::string Hy3(const std::vector<ExpectedRow>& rows);

std::string Hex(std::string_view bytes);
std::string Repeat(std::string_view piece, size_t times);

}  // namespace test_support
