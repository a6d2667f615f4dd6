#include "platform/os/file_access.h"

// The operations of the computer's own file system, as free functions.
namespace platform {

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    return SystemFileSystem().IdentityOf(path);
}

bool MayNameOneFile(const std::string& first, const std::string& second) {
    return SystemFileSystem().MayNameOneFile(first, second);
}

bool FolderIgnoresCase(const std::string& path) {
    return SystemFileSystem().FolderIgnoresCase(path);
}

BoundedRead ReadBoundedFile(const std::string& path, size_t limit) {
    return SystemFileSystem().ReadBoundedFile(path, limit);
}

EntryKind EntryKindOf(const std::string& path) {
    return SystemFileSystem().EntryKindOf(path);
}

}  // namespace platform
