#include "conversion/formats/text/fare_table_text.h"

#include <optional>
#include <string_view>

#include "conversion/formats/input_format.h"
#include "conversion/formats/text/utf8_evidence.h"
#include "fare_model/written_table.h"
#include "platform/os/code_page.h"

namespace conversion {
namespace {

using fare_model::Reason;
using fare_model::RunError;
namespace error_code = fare_model::error_code;

RunError BadName(Reason reason, int record) {
    return RunError(error_code::kInvalidData, reason, record);
}

// What the parser would make of the name differently: it splits at separators, drops double
// quotes and leading spaces, and the line reader ends a line at CR or LF.
std::optional<Reason> WhyNameWouldChange(std::u32string_view name) {
    if (std::optional<Reason> why = fare_model::WhyNameWouldChangeInAnyTable(name)) {
        return why;
    }
    for (char32_t ch : name) {
        switch (ch) {
            case U',':
            case U'，':
            case U'\t':
                return Reason::kNameHoldsSeparator;
            case U'"':
                return Reason::kNameHoldsQuote;
            case U'\r':
            case U'\n':
                return Reason::kNameHoldsLineEnd;
            default:
                break;
        }
    }
    return std::nullopt;
}

// The name's code page 932 bytes, as the converter will read them back.
std::string NameBytes(const FareLineRecord& record, int number, platform::Cp932Encoder& encoder,
                      platform::TextDecoder& decoder) {
    std::optional<std::string> bytes = encoder.Encode(record.PlaceName);
    if (!bytes) {
        throw BadName(Reason::kNameNotCp932, number);
    }
    // The checks go by what the converter will see, which is the bytes decoded again.
    std::optional<std::u32string> readBack = decoder.Decode(*bytes);
    if (!readBack || encoder.Encode(*readBack) != bytes) {
        throw BadName(Reason::kNameNotRoundTrip, number);
    }
    if (std::optional<Reason> why = WhyNameWouldChange(*readBack)) {
        throw BadName(*why, number);
    }
    return std::move(*bytes);
}

// The converter reads a table without a byte order mark as UTF-8 when its bytes are the
// evidence for it; such a table would be read as other characters. No code page 932
// character starts with byte EF, so no table starts with the byte order mark.
void CheckNotTakenForUtf8(std::string_view text, int firstNonAsciiRecord) {
    if (firstNonAsciiRecord == 0) {
        return;  // ASCII reads the same either way
    }
    Utf8Evidence evidence;
    evidence.Feed(text, true);
    if (evidence.IsUtf8()) {
        throw BadName(Reason::kTableTakenForUtf8, firstNonAsciiRecord);
    }
}

}  // namespace

std::string FareTableText(std::span<const FareLineRecord> records) {
    fare_model::CheckTableSize(records);
    platform::Cp932Encoder encoder;
    platform::TextDecoder decoder(platform::TextEncoding::kCp932);
    std::string text;
    int firstNonAsciiRecord = 0;
    int number = 0;
    for (const FareLineRecord& record : records) {
        ++number;
        std::string name = NameBytes(record, number, encoder, decoder);
        if (firstNonAsciiRecord == 0 && platform::AsciiPrefixLength(name) != name.size()) {
            firstNonAsciiRecord = number;
        }
        text += name;
        text += ',';
        text += std::to_string(record.ZoneNumber);
        const size_t shown = FaresInUse(record);
        for (size_t k = 0; k < shown; ++k) {
            text += ',';
            text += std::to_string(record.Fares[k]);
        }
        text += "\r\n";
    }
    CheckNotTakenForUtf8(text, firstNonAsciiRecord);
    // The converter takes a file that starts as a zip or an old compound document does for a
    // workbook, whatever its name.
    if (TakenForAnotherFormat(text)) {
        throw BadName(Reason::kTableTakenForWorkbook, 1);
    }
    return text;
}

}  // namespace conversion
