#include "platform/os/posix/file_metadata.h"

#include <sys/xattr.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace platform {
namespace {

constexpr std::string_view kAccessAcl = "system.posix_acl_access";

bool IsCopied(std::string_view name) {
    return name == kAccessAcl || name.starts_with("user.");
}

// Reads through a size query and a retry, as the list may grow in between.
template <typename Read>
bool ReadGrowing(std::string& out, Read read) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = read(nullptr, 0);
        if (size < 0) {
            return false;
        }
        out.resize(static_cast<size_t>(size));
        size = read(out.data(), out.size());
        if (size >= 0) {
            out.resize(static_cast<size_t>(size));
            return true;
        }
        if (errno != ERANGE) {
            return false;
        }
    }
    return false;
}

}  // namespace

bool CopyAccessMetadata(int from, int to) {
    std::string names;
    if (!ReadGrowing(names,
                     [&](char* buffer, size_t size) { return flistxattr(from, buffer, size); })) {
        // A file system without extended attributes has nothing to copy.
        return RefusedByMedium(errno);
    }
    std::string value;
    for (size_t at = 0; at < names.size();) {
        std::string name(names.c_str() + at);
        at += name.size() + 1;
        if (!IsCopied(name)) {
            continue;
        }
        if (!ReadGrowing(value, [&](char* buffer, size_t size) {
                return fgetxattr(from, name.c_str(), buffer, size);
            })) {
            if (errno == ENODATA) {
                continue;  // removed meanwhile
            }
            return false;
        }
        if (fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0 &&
            !RefusedByMedium(errno)) {
            return false;
        }
    }
    return true;
}

bool RefusedByMedium(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOTSUP || err == ENOSYS;
}

}  // namespace platform
