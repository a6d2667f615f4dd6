#pragma once

// A file system held in memory, for tests of the use cases that need no kernel: files are
// byte strings by path, outputs replace them whole on Commit, and a failure can be put on any
// path. It counts what was opened, so that a test can see a use case open its input once.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/os/file_system.h"

namespace test_support {

class MemoryFileSystem : public platform::FileSystem {
  public:
    std::map<std::string, std::string> files;
    // Opening or creating a path named here fails with its code.
    std::map<std::string, int> failures;
    // How many times each path was opened for reading (whole reads included).
    std::map<std::string, int> opens;

    std::unique_ptr<platform::InputFile> OpenInput(const std::string& path) override;
    platform::BoundedRead ReadBoundedFile(const std::string& path, size_t limit) override;
    std::unique_ptr<platform::OutputFile> CreateOutput(const std::string& path,
                                                       platform::OutputFileSeams seams) override;
    std::optional<platform::FileIdentity> IdentityOf(const std::string& path) override;
    bool MayNameOneFile(const std::string&, const std::string&) override { return false; }
    bool FolderIgnoresCase(const std::string&) override { return false; }
    platform::EntryKind EntryKindOf(const std::string& path) override;

  private:
    const std::string& Existing(const std::string& path);
    std::map<std::string, uint64_t> numbers_;  // a file's identity, given when first asked
};

}  // namespace test_support
