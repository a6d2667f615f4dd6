#include "programs/hy3conv/compare.h"
#include "conversion/wording.h"

#include <optional>
#include <vector>

#include "conversion/read_back.h"
#include "fare_model/revision_comparison.h"
#include "programs/hy3conv/messages.h"

namespace hy3conv {
namespace {

std::optional<std::vector<fare_model::FareLineRecord>> RecordsOf(const std::string& path) {
    conversion::ConversionOutcome read = conversion::ReadBackDataFile(path);
    if (read.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
        ReportFailure(read);
        return std::nullopt;
    }
    return std::move(read.records);
}

}  // namespace

int CompareDataFiles(const std::string& oldPath, const std::string& newPath, bool quiet) {
    const auto before = RecordsOf(oldPath);
    const auto after = RecordsOf(newPath);
    if (!before || !after) {
        ReportError(conversion::CheckTheFileText());
        return kExitTrouble;
    }
    const fare_model::RecordDifferences differences = fare_model::CompareRecords(*before, *after);
    if (!quiet) {
        for (const fare_model::RecordDifference& difference : differences) {
            const bool removed = difference.kind == fare_model::RecordDifference::Kind::kRowRemoved;
            PrintOut(MessageLine(removed ? oldPath : newPath, difference.row, difference.field(),
                                 conversion::DifferenceText(difference)));
        }
        PrintOut(conversion::DifferenceSummary(differences.size()) + "\n");
    }
    return differences.empty() ? kExitSame : kExitDifferent;
}

}  // namespace hy3conv
