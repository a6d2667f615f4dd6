#include "platform/os/posix/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

namespace platform {
namespace {

constexpr std::string_view kPrefix = ".hy3-";
constexpr size_t kBootLetters = 12;
constexpr size_t kRandomLetters = 6;
constexpr std::string_view kLetters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool AllOf(std::string_view text, std::string_view allowed) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
        return allowed.find(c) != std::string_view::npos;
    });
}

// The first hex digits of the kernel's id for this boot; empty where there is no /proc.
const std::string& BootId() {
    static const std::string id = [] {
        std::ifstream in("/proc/sys/kernel/random/boot_id");
        std::string uuid, hex;
        std::getline(in, uuid);
        for (char c : uuid) {
            if (c != '-' && hex.size() < kBootLetters) {
                hex += c;
            }
        }
        return hex.size() == kBootLetters && AllOf(hex, "0123456789abcdef") ? hex : std::string();
    }();
    return id;
}

// When process `pid` started, in clock ticks since boot, as /proc/PID/stat tells it.
std::optional<unsigned long long> StartTimeOf(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat;
    std::getline(in, stat);
    size_t afterName = stat.rfind(')');
    if (afterName == std::string::npos) {
        return std::nullopt;
    }
    // The 22nd field; the name in parentheses (the 2nd) may hold spaces.
    std::string_view fields = std::string_view(stat).substr(afterName + 1);
    for (int field = 2; field < 21; ++field) {
        size_t space = fields.find(' ', 1);
        if (space == std::string_view::npos) {
            return std::nullopt;
        }
        fields.remove_prefix(space);
    }
    return std::strtoull(fields.data() + 1, nullptr, 10);
}

struct NameParts {
    std::string_view boot, pid, start;
};

std::optional<NameParts> PartsOf(std::string_view name) {
    if (!name.starts_with(kPrefix)) {
        return std::nullopt;
    }
    name.remove_prefix(kPrefix.size());
    std::string_view parts[4];
    for (int i = 0; i < 4; ++i) {
        size_t dash = i < 3 ? name.find('-') : name.size();
        if (dash == std::string_view::npos) {
            return std::nullopt;
        }
        parts[i] = name.substr(0, dash);
        name.remove_prefix(i < 3 ? dash + 1 : dash);
    }
    if (parts[0].size() != kBootLetters || !AllOf(parts[0], "0123456789abcdef") ||
        !AllOf(parts[1], "0123456789") || parts[1].size() > 10 || !AllOf(parts[2], "0123456789") ||
        parts[2].size() > 20 || parts[3].size() != kRandomLetters || !AllOf(parts[3], kLetters)) {
        return std::nullopt;
    }
    return NameParts{parts[0], parts[1], parts[2]};
}

bool WriterHasEnded(const NameParts& parts) {
    if (BootId().empty() || parts.boot != BootId()) {
        return false;
    }
    std::optional<unsigned long long> started = StartTimeOf(std::string(parts.pid));
    return !started || std::to_string(*started) != parts.start;
}

void RemoveIfUnlocked(int folder, const char* name) {
    int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
        unlinkat(folder, name, 0);
    }
    close(fd);
}

// Each folder is cleaned once per process, so that a batch reads its output folder once.
bool FirstVisit(int folder) {
    static std::mutex guard;
    static std::set<std::pair<dev_t, ino_t>> visited;
    struct stat status {};
    if (fstat(folder, &status) != 0) {
        return false;
    }
    std::lock_guard lock(guard);
    return visited.emplace(status.st_dev, status.st_ino).second;
}

}  // namespace

std::string RandomTemporaryName() {
    unsigned char random[kRandomLetters] = {};
    if (getrandom(random, sizeof random, 0) != sizeof random) {
        for (unsigned char& byte : random) {
            byte = static_cast<unsigned char>(std::rand());
        }
    }
    // Asked each time: a forked child is another writer.
    std::string pid = std::to_string(getpid());
    std::optional<unsigned long long> started = StartTimeOf(pid);
    std::string name = std::string(kPrefix) +
                       (BootId().empty() ? std::string(kBootLetters, '0') : BootId()) + "-" + pid +
                       "-" + std::to_string(started.value_or(0)) + "-";
    for (unsigned char byte : random) {
        name += kLetters[byte % kLetters.size()];
    }
    return name;
}

bool IsTemporaryName(std::string_view name) {
    return PartsOf(name).has_value();
}

void LockAsWriter(int fd) {
    flock(fd, LOCK_EX | LOCK_NB);
}

void RemoveTemporariesOfEndedRuns(int folder) {
    if (BootId().empty() || !FirstVisit(folder)) {
        return;
    }
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
        std::optional<NameParts> parts = PartsOf(entry->d_name);
        if (parts && WriterHasEnded(*parts)) {
            RemoveIfUnlocked(folder, entry->d_name);
        }
    }
    closedir(entries);
}

}  // namespace platform
