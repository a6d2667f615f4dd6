#pragma once

#include "platform/os/file_system.h"

namespace platform {

// The file system through POSIX calls (Linux): posix/file_access.cpp and posix/output_file.cpp.
class PosixFileSystem final : public FileSystem {
  public:
    std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
    BoundedRead ReadBoundedFile(const std::string& path, size_t limit) override;
    std::unique_ptr<OutputFile> CreateOutput(const std::string& path,
                                             OutputFileSeams seams) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) override;
    bool MayNameOneFile(const std::string& first, const std::string& second) override;
    // Asked by making a hidden file there for a moment.
    bool FolderIgnoresCase(const std::string& path) override;
    EntryKind EntryKindOf(const std::string& path) override;
};

}  // namespace platform
