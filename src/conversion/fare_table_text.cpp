#include "conversion/fare_table_text.h"

#include <optional>
#include <string_view>

#include "conversion/utf8_evidence.h"
#include "conversion/workbook/workbook.h"
#include "platform/os/code_page.h"

namespace conversion {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

RunError BadName(std::string description, int record) {
    return RunError(error_code::kInvalidData, std::move(description), record);
}

// What the parser would make of the name differently: it splits at separators, drops double
// quotes and leading spaces, and the line reader ends a line at CR or LF.
std::optional<std::string> WhyNameWouldChange(std::u32string_view name) {
    if (std::optional<std::string> why = WhyNameWouldChangeInAnyTable(name)) {
        return why;
    }
    for (char32_t ch : name) {
        switch (ch) {
            case U',':
            case U'，':
            case U'\t':
                return "地名に区切り文字（「,」「，」またはタブ）があります。";
            case U'"':
                return "地名に二重引用符（\"）があります。";
            case U'\r':
            case U'\n':
                return "地名に改行文字があります。";
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
        throw BadName("地名に Shift-JIS で表せない文字があります。", number);
    }
    // The checks go by what the converter will see, which is the bytes decoded again.
    std::optional<std::u32string> readBack = decoder.Decode(*bytes);
    if (!readBack || encoder.Encode(*readBack) != bytes) {
        throw BadName("地名が Shift-JIS で同じ文字に読み戻せません。", number);
    }
    if (std::optional<std::string> why = WhyNameWouldChange(*readBack)) {
        throw BadName(std::move(*why), number);
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
        throw BadName(
            "表のバイト列全体が UTF-8 としても読めるため、コンバートすると地名が別の文字に"
            "なります。",
            firstNonAsciiRecord);
    }
}

}  // namespace

void CheckTableSize(std::span<const FareLineRecord> records) {
    if (records.empty()) {
        throw RunError(error_code::kInvalidData,
                       "書き出す行がありません（0 行の表はコンバートできません）。");
    }
    if (records.size() > static_cast<size_t>(kMaxTableRows)) {
        throw RunError(error_code::kSubscriptOutOfRange,
                       "行が多すぎます（運賃表示器が読めるのは " + std::to_string(kMaxTableRows) +
                           " 行までで、この表は " + std::to_string(records.size()) +
                           " 行あります）。",
                       kMaxTableRows + 1);
    }
}

std::optional<std::string> WhyNameWouldChangeInAnyTable(std::u32string_view name) {
    if (!name.empty() && (name.front() == U' ' || name.front() == U'\u3000')) {
        return "地名が空白で始まっています（読み戻すと先頭の空白が消えます）。";
    }
    return std::nullopt;
}

std::string FareTableText(std::span<const FareLineRecord> records) {
    CheckTableSize(records);
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
    if (workbook::ContainerOf(text) != workbook::Container::kOther) {
        throw BadName(
            "最初の地名の先頭が表計算ブックの印と同じバイト列のため、コンバートするとブックとして"
            "読まれます。",
            1);
    }
    return text;
}

}  // namespace conversion
