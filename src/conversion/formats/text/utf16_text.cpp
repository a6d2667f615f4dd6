#include "conversion/formats/text/utf16_text.h"

#include "conversion/fare_model_names.h"

namespace conversion {
namespace {

using Code = platform::CodeConverter::Code;

std::optional<Code> Utf16ByteOrder(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        return Code::kUtf16Le;
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return Code::kUtf16Be;
    }
    return std::nullopt;
}

}  // namespace

size_t Utf16Text::Start(std::string_view firstBytes) {
    converter_.reset();
    carried_.clear();
    first_ = true;
    std::optional<Code> order = Utf16ByteOrder(firstBytes);
    if (!order) {
        return 0;
    }
    converter_.emplace(Code::kUtf8, *order);
    return 2;
}

std::string_view Utf16Text::Transcode(std::string_view bytes, bool last) {
    transcoded_ = first_ ? "\xEF\xBB\xBF" : "";
    first_ = false;
    carried_ += bytes;
    size_t tail = 0;
    if (!converter_->Convert(carried_, transcoded_, last ? nullptr : &tail)) {
        throw RunError(error_code::kInvalidData, Reason::kNotUtf16);
    }
    carried_.erase(0, carried_.size() - tail);
    return transcoded_;
}

bool LooksLikeUtf16WithoutMark(std::string_view bytes) {
    bytes = bytes.substr(0, 1024);
    size_t zeros[2] = {0, 0};
    for (size_t at = 0; at < bytes.size(); ++at) {
        zeros[at % 2] += bytes[at] == '\0' ? 1 : 0;
    }
    for (size_t parity : {0, 1}) {
        size_t other = zeros[1 - parity];
        if (zeros[parity] >= 4 && 4 * zeros[parity] >= bytes.size() / 2 &&
            8 * other <= zeros[parity]) {
            return true;
        }
    }
    return false;
}

}  // namespace conversion
