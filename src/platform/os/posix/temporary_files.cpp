#include "platform/os/posix/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace platform {
namespace {

constexpr std::string_view kPrefix = ".hy3-";
constexpr size_t kRandomLetters = 10;
constexpr std::string_view kLetters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// A cleanup holds the folder only while it reads it; a run waits for it at most this long.
constexpr int kLockAttempts = 200;
constexpr useconds_t kLockPause = 10'000;

void RemoveStaleTemporaries(int folder, std::time_t now) {
    int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;
    }
    DIR* entries = fdopendir(listing);
    if (entries == nullptr) {
        close(listing);
        return;
    }
    while (const dirent* entry = readdir(entries)) {
        struct stat status {};
        if (!IsTemporaryName(entry->d_name) ||
            fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode) || status.st_mtime > now - kStaleAfterSeconds) {
            continue;
        }
        unlinkat(folder, entry->d_name, 0);
    }
    closedir(entries);
}

}  // namespace

std::string RandomTemporaryName() {
    unsigned char random[kRandomLetters] = {};
    if (getrandom(random, sizeof random, 0) != sizeof random) {
        for (unsigned char& byte : random) {
            byte = static_cast<unsigned char>(std::rand());
        }
    }
    std::string name(kPrefix);
    for (unsigned char byte : random) {
        name += kLetters[byte % kLetters.size()];
    }
    return name;
}

bool IsTemporaryName(std::string_view name) {
    if (!name.starts_with(kPrefix) || name.size() != kPrefix.size() + kRandomLetters) {
        return false;
    }
    name.remove_prefix(kPrefix.size());
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return kLetters.find(c) != std::string_view::npos; });
}

void TakeUpFolder(int folder) {
    // Held only by a run that is alive: the kernel lets go of a killed run's lock.
    if (flock(folder, LOCK_EX | LOCK_NB) == 0) {
        RemoveStaleTemporaries(folder, std::time(nullptr));
    }
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        if (flock(folder, LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK) {
            return;
        }
        usleep(kLockPause);
    }
}

}  // namespace platform
