#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hy3conv {

// One file a batch means to write, and what it is written from, as messages name it.
struct PlannedOutput {
    std::string output;
    std::string source;
};

// Two planned files that would be one: `output` is the second one's path.
struct SharedOutput {
    std::string output;
    std::string firstSource;
    std::string secondSource;
};

// The first two planned files with the same path; else, where `folderIgnoresCase` says so,
// the first two whose paths differ only in case (fare.hy3 and Fare.hy3, ａ.hy3 and Ａ.hy3 are
// one file on FAT and exFAT). The folder is asked only when such a pair exists.
std::optional<SharedOutput> FindSharedOutput(const std::vector<PlannedOutput>& planned,
                                             const std::function<bool()>& folderIgnoresCase);

}  // namespace hy3conv
