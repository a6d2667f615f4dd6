#pragma once

#include <windows.h>

#include <string>

#include "platform/os/file_system.h"

namespace platform {

// The file system through Win32 calls, with wide-character paths in the \\?\ form:
// win32/file_access.cpp and win32/output_file.cpp.
class Win32FileSystem final : public FileSystem {
  public:
    std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
    BoundedRead ReadBoundedFile(const std::string& path, size_t limit) override;
    std::unique_ptr<OutputFile> CreateOutput(const std::string& path,
                                             OutputFileSeams seams) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) override;
    // Identities (a volume serial and a file index) tell files apart on every medium Windows
    // mounts, whatever the case of their names.
    bool MayNameOneFile(const std::string&, const std::string&) override { return false; }
    // Windows compares names without case in every folder but those made case-sensitive on
    // purpose, which the programs treat alike.
    bool FolderIgnoresCase(const std::string&) override { return true; }
    EntryKind EntryKindOf(const std::string& path) override;
};

// The identity of an open file: its volume's serial number and its index on the volume.
FileIdentity IdentityOfHandle(HANDLE file);

// A fresh hidden name for a temporary file beside an output: ".hy3-" and ten letters or digits.
std::wstring RandomTemporaryName();

}  // namespace platform
