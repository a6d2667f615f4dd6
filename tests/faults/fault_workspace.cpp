#include "fault_workspace.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace faults {

namespace fs = std::filesystem;

Workspace::Workspace() {
    std::string pattern = (fs::temp_directory_path() / "rukanoba-faults-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = pattern;
    fs::create_directory(outputFolder());
}

Workspace::~Workspace() {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        SetImmutable(it->path(), false);
    }
    SetImmutable(root_, false);
    fs::remove_all(root_, ignored);
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

FolderSnapshot Snapshot(const fs::path& folder) {
    FolderSnapshot snapshot;
    std::error_code error;
    if (!fs::exists(folder, error)) {
        return snapshot;
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_directory()) {
            snapshot[name + "/"] = "";
        } else {
            snapshot[name] = ReadBytes(entry.path());
        }
    }
    return snapshot;
}

std::string DescribeDifference(const FolderSnapshot& before, const FolderSnapshot& after) {
    std::string text;
    for (const auto& [name, bytes] : before) {
        auto found = after.find(name);
        if (found == after.end()) {
            text += name + " is gone; ";
        } else if (found->second != bytes) {
            text += name + " changed (" + std::to_string(bytes.size()) + " bytes before, " +
                    std::to_string(found->second.size()) + " after); ";
        }
    }
    for (const auto& [name, bytes] : after) {
        if (!before.contains(name)) {
            text += name + " was left behind (" + std::to_string(bytes.size()) + " bytes); ";
        }
    }
    return text;
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

}  // namespace faults
