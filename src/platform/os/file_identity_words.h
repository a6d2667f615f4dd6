#pragma once

#include <cstdint>

#include "platform/os/file_system.h"

namespace platform {

// Makes identities from what tells a system's files apart. Only for the code that makes them:
// each system's side, and file systems faked in tests; everyone else only compares them.
struct FileIdentityWords {
    static FileIdentity Make(uint64_t first, uint64_t second, uint64_t third) {
        FileIdentity identity;
        identity.words_ = {first, second, third};
        return identity;
    }
};

}  // namespace platform
