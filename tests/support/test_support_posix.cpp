// The helpers that differ between systems, on POSIX: iconv for code pages, the immutable
// attribute for folders a test cannot empty otherwise.
#include <fcntl.h>
#include <iconv.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "test_support.h"

namespace test_support {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const fs::path& base) {
    std::string pattern = (base / "rukanoba-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed in " + base.string());
    root_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        SetImmutable(it->path(), false);
        // Read-only folders made by a test must be writable again to be emptied.
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    SetImmutable(root_, false);
    fs::remove_all(root_, ignored);
}

fs::path MemoryBackedFolder() {
    if (access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return fs::temp_directory_path();
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

mode_t PermissionBits(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        throw std::runtime_error("cannot stat " + path);
    return info.st_mode & 07777;
}

bool SetImmutable(const fs::path& path, bool immutable) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    int savedErrno = errno;
    close(fd);
    errno = savedErrno;
    return done;
}

std::string Recode(std::string_view text, const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no such conversion in iconv");
    // No conversion used here takes more than twice the bytes.
    std::string out(text.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t result = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(handle);
    if (result == static_cast<size_t>(-1))
        throw std::runtime_error(std::string("not encodable in ") + to);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace test_support
