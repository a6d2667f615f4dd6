#include "programs/hy3conv/shared_output.h"

#include <map>

#include "platform/os/file_access.h"

namespace hy3conv {

std::optional<SharedOutput> FindSharedOutput(const std::vector<PlannedOutput>& planned,
                                             const std::function<bool()>& folderIgnoresCase) {
    std::map<std::string, std::string> sourceOf, sourceOfFolded;
    std::optional<SharedOutput> differInCase;
    for (const PlannedOutput& file : planned) {
        auto [at, added] = sourceOf.emplace(file.output, file.source);
        if (!added) {
            return SharedOutput{file.output, at->second, file.source};
        }
        auto [foldedAt, foldedAdded] =
            sourceOfFolded.emplace(platform::CaseFolded(file.output), file.source);
        if (!foldedAdded && !differInCase) {
            differInCase = SharedOutput{file.output, foldedAt->second, file.source};
        }
    }
    if (differInCase && folderIgnoresCase()) {
        return differInCase;
    }
    return std::nullopt;
}

}  // namespace hy3conv
