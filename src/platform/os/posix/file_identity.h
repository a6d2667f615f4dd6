#pragma once

#include <sys/stat.h>

#include "platform/os/file_identity_words.h"

namespace platform {

// A file's device and inode number: what no two files on this system share.
inline FileIdentity IdentityFromStatus(const struct stat& status) {
    return FileIdentityWords::Make(static_cast<uint64_t>(status.st_dev),
                                   static_cast<uint64_t>(status.st_ino), 0);
}

}  // namespace platform
