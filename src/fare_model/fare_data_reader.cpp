#include "fare_model/fare_data_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace fare_model {
namespace {

// A record without its name: the length, the zone and 150 fares, 2 bytes each.
constexpr size_t kFixedRecordBytes = 2 + 2 + 2 * kFareCount;

class ByteCursor {
  public:
    explicit ByteCursor(std::string_view bytes) : rest_(bytes) {}

    size_t left() const { return rest_.size(); }

    uint16_t TakeUint16() {
        auto low = static_cast<unsigned char>(rest_[0]);
        auto high = static_cast<unsigned char>(rest_[1]);
        rest_.remove_prefix(2);
        return static_cast<uint16_t>(low | high << 8);
    }
    int16_t TakeInt16() { return static_cast<int16_t>(TakeUint16()); }

    std::string_view Take(size_t size) {
        std::string_view taken = rest_.substr(0, size);
        rest_.remove_prefix(size);
        return taken;
    }

  private:
    std::string_view rest_;
};

// Decodes one name and makes sure the writer would give back exactly its bytes: code page
// 932 has characters with two byte forms, and only one of them survives a round trip.
std::u32string DecodeName(std::string_view bytes, int record, Cp932& cp932) {
    std::optional<std::u32string> name = cp932.Decode(bytes);
    if (!name) {
        throw RunError(error_code::kInvalidData, Reason::kDataFileNameNotCp932, record);
    }
    std::optional<std::string> again = cp932.Encode(*name);
    if (!again || *again != bytes) {
        throw RunError(error_code::kInvalidData, Reason::kDataFileNameNotStandard, record);
    }
    return std::move(*name);
}

}  // namespace

std::vector<FareLineRecord> ReadFareDataFile(std::string_view bytes, Cp932& cp932) {
    ByteCursor cursor(bytes);
    if (cursor.left() < 2) {
        throw RunError(error_code::kInputPastEnd, Reason::kDataFileTooShort);
    }
    int count = cursor.TakeInt16();
    if (count < 0) {
        throw RunError(error_code::kOverflow, Reason::kDataFileNegativeCount).WithNumber(count);
    }

    // A hostile count must not reserve memory that the file cannot fill.
    std::vector<FareLineRecord> records;
    records.reserve(std::min(static_cast<size_t>(count), cursor.left() / kFixedRecordBytes));
    for (int record = 1; record <= count; ++record) {
        if (cursor.left() < 2) {
            throw RunError(error_code::kInputPastEnd, Reason::kDataFileEndsInLength, record);
        }
        size_t nameLength = cursor.TakeUint16();
        if (nameLength > cursor.left()) {
            throw RunError(error_code::kInputPastEnd, Reason::kDataFileNamePastEnd, record)
                .WithNumber(static_cast<int64_t>(nameLength), static_cast<int64_t>(cursor.left()));
        }
        std::string_view nameBytes = cursor.Take(nameLength);
        if (cursor.left() < kFixedRecordBytes - 2) {
            throw RunError(error_code::kInputPastEnd, Reason::kDataFileEndsInFares, record);
        }
        FareLineRecord& entry = records.emplace_back();
        entry.PlaceName = DecodeName(nameBytes, record, cp932);
        entry.ZoneNumber = cursor.TakeInt16();
        for (int16_t& fare : entry.Fares) {
            fare = cursor.TakeInt16();
        }
    }
    if (cursor.left() > 0) {
        throw RunError(error_code::kSubscriptOutOfRange, Reason::kDataFileExtraBytes, count + 1)
            .WithNumber(count, static_cast<int64_t>(cursor.left()));
    }
    return records;
}

}  // namespace fare_model
