#include "fare_model/written_table.h"

namespace fare_model {

void CheckTableSize(std::span<const FareLineRecord> records) {
    if (records.empty()) {
        throw RunError(error_code::kInvalidData, Reason::kNoRecords);
    }
    if (records.size() > static_cast<size_t>(kMaxTableRows)) {
        throw RunError(error_code::kSubscriptOutOfRange, Reason::kTooManyRecords, kMaxTableRows + 1)
            .WithNumber(static_cast<int64_t>(records.size()));
    }
}

std::optional<Reason> WhyNameWouldChangeInAnyTable(std::u32string_view name) {
    if (!name.empty() && (name.front() == U' ' || name.front() == U'\u3000')) {
        return Reason::kNameStartsWithSpace;
    }
    return std::nullopt;
}

}  // namespace fare_model
