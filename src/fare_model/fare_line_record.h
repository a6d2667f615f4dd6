#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace fare_model {

inline constexpr int kFareCount = 150;
// The display unit reads at most this many rows; a converted table never holds more.
inline constexpr int kMaxTableRows = 301;

// One row of the fare table. A new record is empty: no name, zone 0, every fare 0.
struct FareLineRecord {
    std::u32string PlaceName;
    int16_t ZoneNumber = 0;
    // Fares(1) to Fares(150) of the table are Fares[0] to Fares[149].
    std::array<int16_t, kFareCount> Fares{};

    friend bool operator==(const FareLineRecord&, const FareLineRecord&) = default;
};

// How many fares a row shows: up to its last non-zero one. Fares after a line's last field
// read as 0, so trailing zeros are left out when a record is shown or written back.
inline size_t FaresInUse(const FareLineRecord& record) {
    size_t used = record.Fares.size();
    while (used > 0 && record.Fares[used - 1] == 0) {
        --used;
    }
    return used;
}

}  // namespace fare_model
