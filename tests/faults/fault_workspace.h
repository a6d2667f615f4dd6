#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace faults {

// A temporary folder with an input table and a folder for the output. Removed at the end,
// with any immutable attribute a test set on its files taken off first.
class Workspace {
  public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path input() const { return root_ / "table.txt"; }
    std::filesystem::path outputFolder() const { return root_ / "out"; }

  private:
    std::filesystem::path root_;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Every file and folder below `folder`, by relative path, with each file's bytes: two equal
// snapshots mean nothing was changed, added or left behind.
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot Snapshot(const std::filesystem::path& folder);

// What differs between two snapshots, for a failure message; empty where they are equal.
std::string DescribeDifference(const FolderSnapshot& before, const FolderSnapshot& after);

// Sets or clears the immutable attribute, which holds even for root. False (with errno set)
// where the file system or the process's privileges do not allow it.
bool SetImmutable(const std::filesystem::path& path, bool immutable);

}  // namespace faults
