#include "programs/hy3conv/compare.h"

#include <optional>
#include <vector>

#include "conversion/fare_data_reader.h"
#include "conversion/revision_comparison.h"
#include "programs/hy3conv/messages.h"
#include "programs/hy3conv/read_back.h"

namespace hy3conv {
namespace {

std::optional<std::vector<conversion::FareLineRecord>> RecordsOf(const std::string& path) {
    try {
        return conversion::ReadFareDataFile(ReadDataFileBytes(path));
    } catch (const platform::RunError& error) {
        ReportFailure(path, error);
        return std::nullopt;
    }
}

}  // namespace

int CompareDataFiles(const std::string& oldPath, const std::string& newPath, bool quiet) {
    const auto before = RecordsOf(oldPath);
    const auto after = RecordsOf(newPath);
    if (!before || !after) {
        ReportError(kCheckTheFile);
        return kExitTrouble;
    }
    const conversion::RecordDifferences differences = conversion::CompareRecords(*before, *after);
    if (!quiet) {
        for (const conversion::RecordDifference& difference : differences) {
            const bool removed = difference.kind == conversion::RecordDifference::Kind::kRowRemoved;
            PrintOut(MessageLine(removed ? oldPath : newPath, difference.row, difference.field(),
                                 conversion::DifferenceText(difference)));
        }
        PrintOut(conversion::DifferenceSummary(differences.size()) + "\n");
    }
    return differences.empty() ? kExitSame : kExitDifferent;
}

}  // namespace hy3conv
