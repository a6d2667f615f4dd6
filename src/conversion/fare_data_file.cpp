#include "conversion/fare_data_file.h"

#include <cstdint>
#include <cstdio>

#include "platform/os/code_page.h"
#include "platform/os/run_error.h"

namespace conversion {
namespace {

using platform::RunError;

void AppendInt16(std::string& bytes, uint16_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
}

// Names the first character of `name` that code page 932 cannot write, as "「😀」(U+1F600)".
std::string UnwritableCharacter(platform::Cp932Encoder& encoder, std::u32string_view name) {
    for (char32_t ch : name) {
        if (!encoder.CanEncode(ch)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(ch));
            return "「" + platform::EncodeUtf8(std::u32string_view(&ch, 1)) + "」(" + code +
                   ") は Shift-JIS で書けません。";
        }
    }
    return {};
}

}  // namespace

std::string FareDataFileBytes(std::span<const FareLineRecord> records) {
    std::string bytes;
    AppendInt16(bytes, static_cast<uint16_t>(records.size()));
    platform::Cp932Encoder encoder;
    int line = 0;
    for (const FareLineRecord& record : records) {
        ++line;
        std::optional<std::string> name = encoder.Encode(record.PlaceName);
        if (!name) {
            throw RunError(platform::error_code::kInvalidData,
                           "地名に Shift-JIS で表せない文字があります。", line)
                .WithField(1)
                .WithExplanation(UnwritableCharacter(encoder, record.PlaceName));
        }
        // The length field is 16 bits wide.
        if (name->size() > UINT16_MAX) {
            throw RunError(platform::error_code::kOverflow, line)
                .WithField(1)
                .WithExplanation("地名が 65535 バイトを超えています。");
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

}  // namespace conversion
