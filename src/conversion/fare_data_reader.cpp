#include "conversion/fare_data_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "conversion/wording.h"
#include "platform/os/code_page.h"

namespace conversion {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

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

std::string Row(int record) {
    return PlaceText(record);
}

RunError EndsInside(int record, const std::string& what) {
    return RunError(error_code::kInputPastEnd,
                    "ファイルにこれ以上データがありません（" + Row(record) + "の" + what +
                        "の途中でファイルが終わっています）。",
                    record);
}

// Decodes one name and makes sure the writer would give back exactly its bytes: code page
// 932 has characters with two byte forms, and only one of them survives a round trip.
std::u32string DecodeName(std::string_view bytes, int record, platform::TextDecoder& decoder,
                          platform::Cp932Encoder& encoder) {
    std::u32string name;
    if (!decoder.DecodeInto(bytes, name)) {
        throw RunError(error_code::kInvalidData,
                       "地名に Shift-JIS として読めないバイト列があります。", record);
    }
    std::optional<std::string> again = encoder.Encode(name);
    if (!again || *again != bytes) {
        throw RunError(error_code::kInvalidData,
                       "地名に Shift-JIS の標準と異なる形の文字があります（書き戻すと別のバイト"
                       "になります）。",
                       record);
    }
    return name;
}

}  // namespace

std::vector<FareLineRecord> ReadFareDataFile(std::string_view bytes) {
    ByteCursor cursor(bytes);
    if (cursor.left() < 2) {
        throw RunError(error_code::kInputPastEnd,
                       "ファイルが短すぎます（2バイトの件数がありません）。");
    }
    int count = cursor.TakeInt16();
    if (count < 0) {
        throw RunError(error_code::kOverflow,
                       "件数が負の値です（" + std::to_string(count) + "）。");
    }

    // A hostile count must not reserve memory that the file cannot fill.
    std::vector<FareLineRecord> records;
    records.reserve(std::min(static_cast<size_t>(count), cursor.left() / kFixedRecordBytes));
    platform::TextDecoder decoder(platform::TextEncoding::kCp932);
    platform::Cp932Encoder encoder;
    for (int record = 1; record <= count; ++record) {
        if (cursor.left() < 2) {
            throw EndsInside(record, "地名のバイト数");
        }
        size_t nameLength = cursor.TakeUint16();
        if (nameLength > cursor.left()) {
            throw RunError(error_code::kInputPastEnd,
                           "ファイルにこれ以上データがありません（" + Row(record) +
                               "の地名のバイト数 " + std::to_string(nameLength) +
                               " が残りのバイト数 " + std::to_string(cursor.left()) +
                               " を超えています）。",
                           record);
        }
        std::string_view nameBytes = cursor.Take(nameLength);
        if (cursor.left() < kFixedRecordBytes - 2) {
            throw EndsInside(record, "ゾーン番号と運賃");
        }
        FareLineRecord& entry = records.emplace_back();
        entry.PlaceName = DecodeName(nameBytes, record, decoder, encoder);
        entry.ZoneNumber = cursor.TakeInt16();
        for (int16_t& fare : entry.Fares) {
            fare = cursor.TakeInt16();
        }
    }
    if (cursor.left() > 0) {
        throw RunError(error_code::kSubscriptOutOfRange,
                       "最後の行（件数 " + std::to_string(count) + "）のあとに余分なデータが " +
                           std::to_string(cursor.left()) + " バイトあります。",
                       count + 1);
    }
    return records;
}

}  // namespace conversion
