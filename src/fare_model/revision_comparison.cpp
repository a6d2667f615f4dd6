#include "fare_model/revision_comparison.h"

#include <algorithm>

namespace fare_model {
namespace {

using Kind = RecordDifference::Kind;

RecordDifference At(Kind kind, int row, const std::u32string& place) {
    RecordDifference difference;
    difference.kind = kind;
    difference.row = row;
    difference.place = place;
    return difference;
}

void CompareRow(int row, const FareLineRecord& before, const FareLineRecord& after,
                RecordDifferences& differences) {
    if (before.PlaceName != after.PlaceName) {
        RecordDifference renamed = At(Kind::kPlaceRenamed, row, after.PlaceName);
        renamed.oldPlace = before.PlaceName;
        differences.push_back(std::move(renamed));
    }
    auto changed = [&](Kind kind, int fare, int oldValue, int newValue) {
        RecordDifference difference = At(kind, row, after.PlaceName);
        difference.fare = fare;
        difference.oldValue = oldValue;
        difference.newValue = newValue;
        differences.push_back(std::move(difference));
    };
    if (before.ZoneNumber != after.ZoneNumber) {
        changed(Kind::kZoneChanged, 0, before.ZoneNumber, after.ZoneNumber);
    }
    for (size_t k = 0; k < after.Fares.size(); ++k) {
        if (before.Fares[k] != after.Fares[k]) {
            changed(Kind::kFareChanged, static_cast<int>(k) + 1, before.Fares[k], after.Fares[k]);
        }
    }
}

}  // namespace

std::optional<int> RecordDifference::field() const {
    switch (kind) {
        case Kind::kPlaceRenamed:
            return 1;
        case Kind::kZoneChanged:
            return 2;
        case Kind::kFareChanged:
            return fare + 2;
        case Kind::kRowAdded:
        case Kind::kRowRemoved:
            break;
    }
    return std::nullopt;
}

RecordDifferences CompareRecords(std::span<const FareLineRecord> before,
                                 std::span<const FareLineRecord> after) {
    RecordDifferences differences;
    const size_t common = std::min(before.size(), after.size());
    for (size_t i = 0; i < common; ++i) {
        CompareRow(static_cast<int>(i) + 1, before[i], after[i], differences);
    }
    for (size_t i = common; i < after.size(); ++i) {
        differences.push_back(At(Kind::kRowAdded, static_cast<int>(i) + 1, after[i].PlaceName));
    }
    for (size_t i = common; i < before.size(); ++i) {
        differences.push_back(At(Kind::kRowRemoved, static_cast<int>(i) + 1, before[i].PlaceName));
    }
    return differences;
}

RevisionCount CountRevision(std::span<const RecordDifference> differences) {
    RevisionCount count;
    for (const RecordDifference& difference : differences) {
        switch (difference.kind) {
            case Kind::kFareChanged:
                if (difference.oldValue == 0) {
                    ++count.added;
                } else if (difference.newValue == 0) {
                    ++count.removed;
                } else if (difference.newValue > difference.oldValue) {
                    ++count.rose;
                } else {
                    ++count.fell;
                }
                break;
            case Kind::kRowAdded:
                ++count.rowsAdded;
                break;
            case Kind::kRowRemoved:
                ++count.rowsRemoved;
                break;
            case Kind::kPlaceRenamed:
            case Kind::kZoneChanged:
                break;
        }
    }
    return count;
}

}  // namespace fare_model
