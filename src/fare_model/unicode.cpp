#include "fare_model/unicode.h"

namespace fare_model {

void AppendUtf8(char32_t ch, std::string& utf8) {
    if (ch < 0x80) {
        utf8 += static_cast<char>(ch);
    } else if (ch < 0x800) {
        utf8 += static_cast<char>(0xC0 | ch >> 6);
        utf8 += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        utf8 += static_cast<char>(0xE0 | ch >> 12);
        utf8 += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | ch >> 18);
        utf8 += static_cast<char>(0x80 | (ch >> 12 & 0x3F));
        utf8 += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (char32_t ch : text) {
        AppendUtf8(IsUnicodeScalar(ch) ? ch : U'\uFFFD', utf8);
    }
    return utf8;
}

}  // namespace fare_model
