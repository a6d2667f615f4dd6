#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "fare_model/fare_line_record.h"
#include "fare_model/run_error.h"

namespace fare_model {

// What every table written back from records checks, a text or a workbook: there are records
// (else 5) and no more than 301 (else 9, line() 302).
void CheckTableSize(std::span<const FareLineRecord> records);

// Why a name would not read back the same from any table (one starting with a space, which
// reading removes), if it would not.
std::optional<Reason> WhyNameWouldChangeInAnyTable(std::u32string_view name);

}  // namespace fare_model
