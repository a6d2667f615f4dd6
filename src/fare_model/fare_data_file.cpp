#include "fare_model/fare_data_file.h"

#include <cstdint>

#include "fare_model/run_error.h"
#include "fare_model/unicode.h"

namespace fare_model {
namespace {

void AppendInt16(std::string& bytes, uint16_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
}

// The first character of `name` that code page 932 cannot write, as the error names it.
RunError UnwritableName(Cp932& cp932, std::u32string_view name, int line) {
    RunError error =
        RunError(error_code::kInvalidData, Reason::kNameNotWritable, line).WithField(1);
    for (char32_t ch : name) {
        if (!cp932.CanEncode(ch)) {
            return error.WithText(EncodeUtf8(std::u32string_view(&ch, 1))).WithNumber(ch);
        }
    }
    return error;
}

}  // namespace

std::string FareDataFileBytes(std::span<const FareLineRecord> records, Cp932& cp932) {
    std::string bytes;
    AppendInt16(bytes, static_cast<uint16_t>(records.size()));
    int line = 0;
    for (const FareLineRecord& record : records) {
        ++line;
        std::optional<std::string> name = cp932.Encode(record.PlaceName);
        if (!name) {
            throw UnwritableName(cp932, record.PlaceName, line);
        }
        // The length field is 16 bits wide.
        if (name->size() > UINT16_MAX) {
            throw RunError(error_code::kOverflow, Reason::kPlaceNameTooLong, line).WithField(1);
        }
        AppendInt16(bytes, static_cast<uint16_t>(name->size()));
        bytes += *name;
        AppendInt16(bytes, static_cast<uint16_t>(record.ZoneNumber));
        for (int16_t fare : record.Fares) {
            AppendInt16(bytes, static_cast<uint16_t>(fare));
        }
    }
    return bytes;
}

}  // namespace fare_model
