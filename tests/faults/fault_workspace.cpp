#include "fault_workspace.h"

#include <system_error>

namespace faults {

namespace fs = std::filesystem;

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

}  // namespace faults
