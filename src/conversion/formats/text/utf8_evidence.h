#pragma once

#include <string_view>
#include <unordered_map>

#include "platform/os/code_page.h"

namespace conversion {

// Weighs, piece by piece, whether a table without a byte order mark is UTF-8: valid, with at
// least one character of three or more bytes (kana and kanji are), and every character one
// that code page 932 can write. Two-byte UTF-8 alone is no sign: half-width katakana pairs in
// code page 932 read as valid UTF-8 (ﾎｼ, CE BC, would become μ). Each distinct character is
// asked of iconv once.
class Utf8Evidence {
  public:
    // `endsLine`: the piece ends where a character cannot continue.
    void Feed(std::string_view bytes, bool endsLine);
    bool IsUtf8() const { return possible_ && covered_ && sawLongCharacter_; }
    // The same but for characters code page 932 cannot write: UTF-8 all the same where the
    // bytes are no code page 932 text, and then such a character is named to the user.
    bool IsUtf8ButForCoverage() const { return possible_ && !covered_ && sawLongCharacter_; }

  private:
    bool possible_ = true;
    bool covered_ = true;
    bool sawLongCharacter_ = false;
    platform::TextDecoder utf8_{platform::TextEncoding::kUtf8};
    std::u32string decoded_;
    platform::Cp932Encoder encoder_;
    std::unordered_map<char32_t, bool> coverage_;
};

}  // namespace conversion
