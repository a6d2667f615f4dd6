#pragma once

// Records built by hand for the tests of the data file's writer and reader.

#include <cstdint>
#include <string>
#include <vector>

#include "fare_model/fare_line_record.h"

namespace test_support {

inline fare_model::FareLineRecord Record(std::u32string name, int16_t zone,
                                         std::vector<int16_t> fares = {}) {
    fare_model::FareLineRecord record;
    record.PlaceName = std::move(name);
    record.ZoneNumber = zone;
    for (size_t k = 0; k < fares.size(); ++k)
        record.Fares[k] = fares[k];
    return record;
}

}  // namespace test_support
