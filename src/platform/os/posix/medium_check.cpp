#include "platform/os/posix/medium_check.h"

#include <fcntl.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

namespace platform {
namespace {

constexpr long kFat = 0x4d44;        // msdos, vfat
constexpr long kExfat = 0x2011BAB0;  // exfat

// Media whose directory entries the kernel writes only on a flush of the whole file system.
constexpr std::array<long, 6> kMediaFlushedWhole = {
    kFat,       kExfat,
    0x5346544e,  // ntfs, ntfs-3g
    0x7366746e,  // ntfs3
    0x65735546,  // fuse, fuseblk
    0x4006,      // fat of older kernels
};

bool FolderFlushIsNotEnough(int fd) {
    struct statfs medium {};
    if (fstatfs(fd, &medium) != 0) {
        return true;  // when in doubt, flush
    }
    for (long type : kMediaFlushedWhole) {
        if (static_cast<long>(medium.f_type) == type) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool KeepsOneNameForEveryCase(int fd) {
    struct statfs medium {};
    return fstatfs(fd, &medium) == 0 &&
           (static_cast<long>(medium.f_type) == kFat || static_cast<long>(medium.f_type) == kExfat);
}

bool FlushMediumWhereFolderFlushIsNotEnough(int fd) {
    if (!FolderFlushIsNotEnough(fd)) {
        return true;
    }
    return syncfs(fd) == 0 || errno == EROFS;
}

bool MediumHolds(int fd, const WrittenDigest& meant) {
    // A reading descriptor of the very file, whatever name it has now.
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    int reader = open(self.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (reader < 0) {
        return true;  // without /proc there is no way to read it back; the flush stands
    }
    // The data was flushed before the rename, so its pages are clean and can be dropped.
    posix_fadvise(reader, 0, 0, POSIX_FADV_DONTNEED);
    WrittenDigest found;
    std::array<char, 1 << 16> block{};
    bool complete = true;
    for (;;) {
        ssize_t count = read(reader, block.data(), block.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            complete = false;
        }
        if (count <= 0) {
            break;
        }
        found.Add(std::string_view(block.data(), static_cast<size_t>(count)));
    }
    close(reader);
    return complete && found == meant;
}

}  // namespace platform
