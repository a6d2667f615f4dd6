#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fare_model/unicode.h"
#include "platform/os/code_converter.h"

namespace platform {

enum class TextEncoding { kCp932, kUtf8 };

// Decodes bytes of one encoding to Unicode characters. ASCII bytes take a fast path:
// both encodings read them as themselves.
class TextDecoder {
  public:
    explicit TextDecoder(TextEncoding encoding);
    // nullopt where the bytes are not valid text in the encoding.
    std::optional<std::u32string> Decode(std::string_view bytes);
    // The same into `text`, whose storage is reused from line to line; false where the bytes
    // are not valid text.
    bool DecodeInto(std::string_view bytes, std::u32string& text);
    // Decodes one piece of a longer text into `text`: a character cut off at the end of the
    // piece is kept and completed by the next one; `last` says that no piece follows.
    bool DecodePiece(std::string_view bytes, bool last, std::u32string& text);
    // True where the last piece ended inside a character.
    bool MidCharacter() const { return !carried_.empty(); }

  private:
    bool DecodeText(std::string_view bytes, bool last, std::u32string& text);

    TextEncoding encoding_;
    CodeConverter converter_;
    std::string scratch_;
    std::string carried_;  // the start of a character cut off by the end of a piece
    std::string joined_;
};

// Encodes Unicode characters to code page 932 (the vendor's table).
class Cp932Encoder {
  public:
    Cp932Encoder();
    // nullopt where a character has no code page 932 form.
    std::optional<std::string> Encode(std::u32string_view text);
    bool CanEncode(char32_t ch);

  private:
    CodeConverter converter_;
    std::string scratch_;
};

// How many bytes at the start are ASCII.
size_t AsciiPrefixLength(std::string_view bytes);

// Plain UTF-8 decoding for messages and tests. Invalid bytes yield nullopt.
std::optional<std::u32string> DecodeUtf8(std::string_view bytes);

// Code page 932 as the fare model asks for it, through the converters above.
class Cp932Codec : public fare_model::Cp932 {
  public:
    std::optional<std::string> Encode(std::u32string_view text) override {
        return encoder_.Encode(text);
    }
    bool CanEncode(char32_t ch) override { return encoder_.CanEncode(ch); }
    std::optional<std::u32string> Decode(std::string_view bytes) override {
        return decoder_.Decode(bytes);
    }

  private:
    Cp932Encoder encoder_;
    TextDecoder decoder_{TextEncoding::kCp932};
};

}  // namespace platform
