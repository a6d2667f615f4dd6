#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace conversion {

inline constexpr int kFareCount = 150;

// One row of the fare table. A new record is empty: no name, zone 0, every fare 0.
struct FareLineRecord {
    std::u32string PlaceName;
    int16_t ZoneNumber = 0;
    // Fares(1) to Fares(150) of the table are Fares[0] to Fares[149].
    std::array<int16_t, kFareCount> Fares{};

    friend bool operator==(const FareLineRecord&, const FareLineRecord&) = default;
};

}  // namespace conversion
