#include "platform/os/scratch_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/os/posix/errno_error.h"

namespace platform {
namespace {

// An anonymous file in memory; where the system has none, a temporary file whose name is
// removed at once. Either is reached by name through /proc while its descriptor is open.
int MakeScratchFile() {
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

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::string BytesWrittenByName(const std::function<void(const std::string& path)>& write) {
    Descriptor scratch(MakeScratchFile());
    std::string path = "/proc/self/fd/" + std::to_string(scratch.get());
    write(path);
    std::string bytes;
    char buffer[1 << 16];
    for (off_t offset = 0;;) {
        ssize_t got = pread(scratch.get(), buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw ErrorFromErrno(errno, path);
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<size_t>(got));
        offset += got;
    }
}

}  // namespace platform
