#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "test_support.h"

namespace faults {

using test_support::ReadBytes;
using test_support::SetImmutable;
using test_support::WriteBytes;

// A scratch folder with an input table and a folder for the output.
class Workspace {
  public:
    Workspace() { std::filesystem::create_directory(outputFolder()); }

    const std::filesystem::path& root() const { return folder_.Root(); }
    std::filesystem::path input() const { return root() / "table.txt"; }
    std::filesystem::path outputFolder() const { return root() / "out"; }

  private:
    test_support::ScratchFolder folder_;
};

// Every file and folder below `folder`, by relative path, with each file's bytes: two equal
// snapshots mean nothing was changed, added or left behind.
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot Snapshot(const std::filesystem::path& folder);

// What differs between two snapshots, for a failure message; empty where they are equal.
std::string DescribeDifference(const FolderSnapshot& before, const FolderSnapshot& after);

}  // namespace faults
