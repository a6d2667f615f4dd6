#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/file_access.h"
#include "platform/os/file_system.h"
#include "platform/os/run_error.h"

namespace platform {

// An output created on the computer's own file system (see OutputFile for what it promises),
// for the front ends and the tests of the system's side.
class AtomicOutputFile final : public OutputFile {
  public:
    explicit AtomicOutputFile(const std::string& path, OutputFileSeams seams = {});

    void Write(std::string_view bytes) override { file_->Write(bytes); }
    void Commit(std::optional<FileIdentity> mustNotReplace = std::nullopt) override {
        file_->Commit(mustNotReplace);
    }

  private:
    std::unique_ptr<OutputFile> file_;
};

// Replaces (or creates) the file at `path` with `bytes`, atomically as above.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
