#include "memory_file_system.h"

#include <algorithm>

#include "platform/os/file_identity_words.h"

namespace test_support {
namespace {

using fare_model::RunError;
namespace error_code = fare_model::error_code;

class MemoryInput final : public platform::InputFile {
  public:
    MemoryInput(std::string bytes, platform::FileIdentity identity)
        : bytes_(std::move(bytes)), identity_(identity) {}

    // Small blocks, so that every reader meets a character or a line cut at a block's end.
    std::string_view ReadBlock() override {
        std::string_view block = std::string_view(bytes_).substr(at_, 7);
        at_ += block.size();
        return block;
    }
    void Rewind() override { at_ = 0; }
    platform::FileIdentity Identity() const override { return identity_; }
    platform::BoundedRead ReadRest(size_t limit) override {
        platform::BoundedRead read;
        read.identity = identity_;
        if (bytes_.size() - at_ > limit) {
            read.status = platform::BoundedRead::Status::kTooLarge;
            return read;
        }
        read.bytes = bytes_.substr(at_);
        at_ = bytes_.size();
        return read;
    }

  private:
    std::string bytes_;
    size_t at_ = 0;
    platform::FileIdentity identity_;
};

class MemoryOutput final : public platform::OutputFile {
  public:
    MemoryOutput(MemoryFileSystem& files, std::string path)
        : files_(files), path_(std::move(path)) {}

    void Write(std::string_view bytes) override { bytes_ += bytes; }
    void Commit(std::optional<platform::FileIdentity> mustNotReplace) override {
        if (mustNotReplace && files_.IdentityOf(path_) == mustNotReplace) {
            throw RunError(error_code::kPathFileAccess, fare_model::Reason::kSameFile);
        }
        files_.files[path_] = bytes_;
    }

  private:
    MemoryFileSystem& files_;
    std::string path_;
    std::string bytes_;
};

}  // namespace

const std::string& MemoryFileSystem::Existing(const std::string& path) {
    if (auto failure = failures.find(path); failure != failures.end()) {
        throw RunError(failure->second);
    }
    auto file = files.find(path);
    if (file == files.end()) {
        throw RunError(error_code::kFileNotFound);
    }
    ++opens[path];
    return file->second;
}

std::unique_ptr<platform::InputFile> MemoryFileSystem::OpenInput(const std::string& path) {
    const std::string& bytes = Existing(path);
    return std::make_unique<MemoryInput>(bytes, *IdentityOf(path));
}

platform::BoundedRead MemoryFileSystem::ReadBoundedFile(const std::string& path, size_t limit) {
    return MemoryInput(Existing(path), *IdentityOf(path)).ReadRest(limit);
}

std::unique_ptr<platform::OutputFile> MemoryFileSystem::CreateOutput(const std::string& path,
                                                                     platform::OutputFileSeams) {
    if (auto failure = failures.find(path); failure != failures.end()) {
        throw RunError(failure->second);
    }
    return std::make_unique<MemoryOutput>(*this, path);
}

std::optional<platform::FileIdentity> MemoryFileSystem::IdentityOf(const std::string& path) {
    if (!files.contains(path)) {
        return std::nullopt;
    }
    auto [number, added] = numbers_.try_emplace(path, numbers_.size() + 1);
    return platform::FileIdentityWords::Make(1, number->second, 0);
}

platform::EntryKind MemoryFileSystem::EntryKindOf(const std::string& path) {
    return files.contains(path) ? platform::EntryKind::kOther : platform::EntryKind::kNone;
}

}  // namespace test_support
