#include "platform/os/posix/output_target.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "platform/os/file_system.h"
#include "platform/os/posix/errno_error.h"
#include "platform/os/run_error.h"

namespace platform {
namespace {

// As many links as the kernel follows before it reports a loop.
constexpr int kMostLinksFollowed = 40;

struct SplitPath {
    std::string folder;
    std::string name;
};

SplitPath Split(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string ReadLinkAt(int folder, const std::string& name, const std::string& path) {
    std::string target(PATH_MAX, '\0');
    ssize_t length = readlinkat(folder, name.c_str(), target.data(), target.size());
    if (length < 0) {
        throw ErrorFromErrno(errno, path);
    }
    if (static_cast<size_t>(length) >= target.size()) {
        throw RunError(error_code::kBadFileName);
    }
    target.resize(static_cast<size_t>(length));
    return target;
}

// fs.protected_symlinks: in a sticky folder anyone may write to, only a link of the folder's
// owner or of the one following it is followed; another user's link could aim anywhere.
bool MayFollow(const struct stat& folder, const struct stat& link) {
    bool sharedSticky = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !sharedSticky || link.st_uid == folder.st_uid || link.st_uid == geteuid();
}

}  // namespace

OutputTarget ResolveOutputTarget(const std::string& path) {
    CheckPathSyntax(path);
    std::string current = path;
    for (int links = 0;; ++links) {
        SplitPath split = Split(current);
        OutputTarget target;
        target.folder = open(split.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (target.folder < 0) {
            int err = errno;
            throw ErrorFromErrno(err == ENOENT ? ENOTDIR : err, path);
        }
        auto fail = [&](const RunError& error) {
            close(target.folder);
            return error;
        };
        target.name = split.name;
        if (target.name.empty() || target.name == "." || target.name == "..") {
            throw fail(RunError(error_code::kPathFileAccess));  // names a folder
        }
        // The entry itself, link or file, held without opening it for reading or writing.
        int held = openat(target.folder, target.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (held < 0) {
            int err = errno;
            if (err == ENOENT) {
                return target;
            }
            // exFAT and NTFS cannot even look up a name whose bytes are not UTF-8.
            if (err == EILSEQ) {
                throw fail(
                    RunError(error_code::kBadFileName).WithCause(FileCause::kNameNotStorable));
            }
            throw fail(ErrorFromErrno(err, path));
        }
        struct stat entry {};
        if (fstat(held, &entry) != 0) {
            int err = errno;
            close(held);
            throw fail(ErrorFromErrno(err, path));
        }
        if (S_ISREG(entry.st_mode)) {
            target.existing = entry;
            target.held = held;
            return target;
        }
        close(held);
        // Renaming over a folder, device or pipe would replace it: only a file will do.
        if (!S_ISLNK(entry.st_mode)) {
            throw fail(RunError(error_code::kPathFileAccess));
        }
        struct stat folder {};
        if (fstat(target.folder, &folder) != 0) {
            throw fail(ErrorFromErrno(errno, path));
        }
        if (!MayFollow(folder, entry)) {
            throw fail(RunError(error_code::kPermissionDenied));
        }
        if (links == kMostLinksFollowed) {
            throw fail(ErrorFromErrno(ELOOP, path));
        }
        std::string linked;
        try {
            linked = ReadLinkAt(target.folder, target.name, path);
        } catch (const RunError& error) {
            throw fail(error);
        }
        close(target.folder);
        current = linked.starts_with('/') ? linked : split.folder + "/" + linked;
    }
}

void CloseTarget(OutputTarget& target) noexcept {
    for (int* handle : {&target.held, &target.folder}) {
        if (*handle >= 0) {
            close(*handle);
            *handle = -1;
        }
    }
}

bool TargetUnchanged(const OutputTarget& target) {
    struct stat now {};
    if (fstatat(target.folder, target.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT && !target.existing;
    }
    // Both numbers read now, the file still held: equal exactly where the name still leads
    // to that file, even on a file system whose numbers last only while a file is in use.
    struct stat held {};
    return target.existing && fstat(target.held, &held) == 0 && S_ISREG(now.st_mode) &&
           now.st_dev == held.st_dev && now.st_ino == held.st_ino;
}

}  // namespace platform
