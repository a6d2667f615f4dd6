#include "platform/os/scratch_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/os/file_system.h"
#include "platform/os/posix/errno_error.h"

namespace platform {
namespace {

// An anonymous file in memory; where the system has none, a temporary file whose name is
// removed at once. Either is reached by name through /proc while its descriptor is open.
int MakeScratchFile() {
    // What is written here (a workbook, by its library) may pass the file-size limit.
    IgnoreFileSizeSignal();
    int fd = memfd_create("rukanoba3-scratch", MFD_CLOEXEC);
    if (fd >= 0) {
        return fd;
    }
    std::string name = (std::filesystem::temp_directory_path() / "rukanoba3-XXXXXX").string();
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        throw ErrorFromErrno(errno, name);
    }
    unlink(name.c_str());
    return fd;
}

// Closing the scratch file's one descriptor ends it.
struct ScratchFile {
    int fd;
    ~ScratchFile() { close(fd); }
};

}  // namespace

std::string BytesWrittenByName(const std::function<void(const std::string& path)>& write,
                               size_t limit) {
    ScratchFile scratch{MakeScratchFile()};
    std::string path = "/proc/self/fd/" + std::to_string(scratch.fd);
    write(path);
    BoundedRead read = SystemFileSystem().ReadBoundedFile(path, limit);
    if (read.status != BoundedRead::Status::kRead) {
        throw RunError(error_code::kOverflow, fare_model::Reason::kOutputTooLarge)
            .WithNumber(static_cast<int64_t>(limit));
    }
    return std::move(read.bytes);
}

}  // namespace platform
