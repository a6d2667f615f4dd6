#include "programs/hy3conv/read_back.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <optional>

#include <cerrno>
#include <vector>

#include "conversion/fare_data_reader.h"
#include "conversion/fare_table_listing.h"
#include "conversion/fare_table_text.h"
#include "platform/os/file_access.h"
#include "platform/os/output_file.h"
#include "programs/hy3conv/messages.h"

namespace hy3conv {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

RunError TooLarge() {
    return RunError(error_code::kOverflow)
        .WithExplanation(".hy3 ファイルとして大きすぎます（読めるのは 64 MiB までです）。");
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::vector<conversion::FareLineRecord> ReadRecords(const std::string& path) {
    return conversion::ReadFareDataFile(ReadDataFileBytes(path));
}

}  // namespace

std::string ReadDataFileBytes(const std::string& path) {
    platform::CheckPathSyntax(path);
    // Non-blocking, so that a named pipe cannot hold the program before it is refused.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        throw platform::ErrorFromErrno(errno, path);
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0) {
        throw platform::ErrorFromErrno(errno, path);
    }
    if (!S_ISREG(status.st_mode)) {
        throw RunError(error_code::kPathFileAccess)
            .WithExplanation(
                "通常のファイルではありません（フォルダ、パイプ、装置は読めません）。");
    }
    if (static_cast<unsigned long long>(status.st_size) > kMaxDataFileBytes) {
        throw TooLarge();
    }
    fcntl(file.get(), F_SETFL, fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);

    // The file may grow while it is read: the bound holds for what is read, not the size seen.
    std::string bytes;
    char block[65536];
    for (;;) {
        ssize_t count = read(file.get(), block, sizeof block);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw platform::ErrorFromErrno(errno, path);
        }
        if (count == 0) {
            return bytes;
        }
        if (bytes.size() + static_cast<size_t>(count) > kMaxDataFileBytes) {
            throw TooLarge();
        }
        bytes.append(block, static_cast<size_t>(count));
    }
}

FileResult WriteBackAsText(const std::string& inputPath, const std::string& outputPath) {
    std::string text;
    size_t rows = 0;
    std::optional<platform::FileIdentity> inputIdentity;
    try {
        const std::vector<conversion::FareLineRecord> records = ReadRecords(inputPath);
        text = conversion::FareTableText(records);
        rows = records.size();
        inputIdentity = platform::IdentityOf(inputPath);
        if (!inputIdentity) {
            throw platform::ErrorFromErrno(ENOENT, inputPath);
        }
    } catch (const RunError& error) {
        ReportFailure(inputPath, error);
        return {FileResult::Kind::kFailed, "失敗しました（出力ファイルは変更していません）。"};
    }
    try {
        // Writing the text over the .hy3 it came from would lose the data file.
        if (platform::IdentityOf(outputPath) == inputIdentity) {
            throw RunError(error_code::kPathFileAccess, "変換元と変換先が同じファイルです。");
        }
        platform::AtomicOutputFile output(outputPath);
        output.Write(text);
        output.Commit(inputIdentity);
    } catch (const RunError& error) {
        ReportFailure(outputPath, error);
        return {FileResult::Kind::kFailed, "失敗しました（出力ファイルは変更していません）。"};
    }
    return {FileResult::Kind::kWritten,
            "テキストに書き戻しました（" + std::to_string(rows) + "行）。"};
}

int ShowDataFile(const std::string& path) {
    std::vector<conversion::FareLineRecord> records;
    try {
        records = ReadRecords(path);
    } catch (const RunError& error) {
        ReportFailure(path, error);
        return kExitFailed;
    }
    PrintOut(conversion::FareTableListing(records));
    return kExitSucceeded;
}

}  // namespace hy3conv
