#include "conversion/formats/text/utf8_evidence.h"

namespace conversion {

void Utf8Evidence::Feed(std::string_view bytes, bool endsLine) {
    bool ascii = platform::AsciiPrefixLength(bytes) == bytes.size();
    if (!possible_ || (ascii && !utf8_.MidCharacter())) {
        return;
    }
    if (!utf8_.DecodePiece(bytes, endsLine, decoded_)) {
        possible_ = false;
        return;
    }
    for (char32_t ch : decoded_) {
        if (ch < 0x80) {
            continue;
        }
        sawLongCharacter_ = sawLongCharacter_ || ch >= 0x800;
        auto [known, inserted] = coverage_.try_emplace(ch, false);
        if (inserted) {
            known->second = encoder_.CanEncode(ch);
        }
        covered_ = covered_ && known->second;
    }
}

}  // namespace conversion
