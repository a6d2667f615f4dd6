#pragma once

#include <optional>
#include <string>
#include <string_view>

// Unicode as the model handles it: characters as UTF-32 and texts for people as UTF-8.
// Code page 932, whose table belongs to the system, stands behind Cp932 instead.
namespace fare_model {

// False for surrogates and values past U+10FFFF, which no encoding can write.
constexpr bool IsUnicodeScalar(char32_t ch) {
    return ch <= 0x10FFFF && (ch < 0xD800 || ch > 0xDFFF);
}

// `text` in UTF-8; a value that is not a character is written as U+FFFD, so a message about
// hostile text never fails.
std::string EncodeUtf8(std::u32string_view text);
// One character (a Unicode scalar) in UTF-8, at the end of `utf8`.
void AppendUtf8(char32_t ch, std::string& utf8);

// Code page 932, the encoding of the data file's place names and of a table text. The model
// converts no text itself: the system's converter stands behind this.
class Cp932 {
  public:
    virtual ~Cp932() = default;
    // nullopt where a character has no code page 932 form.
    virtual std::optional<std::string> Encode(std::u32string_view text) = 0;
    virtual bool CanEncode(char32_t ch) = 0;
    // nullopt where the bytes are not code page 932 text.
    virtual std::optional<std::u32string> Decode(std::string_view bytes) = 0;
};

}  // namespace fare_model
