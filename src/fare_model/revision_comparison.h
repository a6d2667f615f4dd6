#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fare_model/fare_line_record.h"

namespace fare_model {

// One thing a revision of a fare table changed. The display unit finds a row by its position,
// so rows are compared position by position: row 5 of the old table with row 5 of the new.
struct RecordDifference {
    enum class Kind { kPlaceRenamed, kZoneChanged, kFareChanged, kRowAdded, kRowRemoved };

    Kind kind = Kind::kFareChanged;
    int row = 0;              // counted from 1
    int fare = 0;             // kFareChanged: the fare number, 1 to 150
    std::u32string place;     // the row's place name (the old one for a removed row)
    std::u32string oldPlace;  // kPlaceRenamed: the name before
    int oldValue = 0;         // kZoneChanged, kFareChanged
    int newValue = 0;

    // 1 for the place name, 2 for the zone, 3 for Fares(1) and so on; none for a whole row.
    std::optional<int> field() const;

    friend bool operator==(const RecordDifference&, const RecordDifference&) = default;
};

using RecordDifferences = std::vector<RecordDifference>;

// Every difference between the records of two tables, row by row and, within a row, name,
// zone, then fares in order. The work is linear in the size of the two tables.
RecordDifferences CompareRecords(std::span<const FareLineRecord> before,
                                 std::span<const FareLineRecord> after);

// How a revision moved the fares, for its summary: a fare that was 0 and is now set counts as
// added, one set to 0 as removed; rows added or removed as a whole are counted apart.
struct RevisionCount {
    int rose = 0;
    int fell = 0;
    int added = 0;
    int removed = 0;
    int rowsAdded = 0;
    int rowsRemoved = 0;

    friend bool operator==(const RevisionCount&, const RevisionCount&) = default;
};

RevisionCount CountRevision(std::span<const RecordDifference> differences);

}  // namespace fare_model
