#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/os/code_converter.h"

namespace conversion {

// A spreadsheet's "Unicode text" is UTF-16 with a byte order mark; the mark makes it
// unambiguous, so it is read as the UTF-8 file with a mark would be: block by block, turned
// into UTF-8.
class Utf16Text {
  public:
    // Where `firstBytes` (a file's first block) start with a UTF-16 byte order mark, starts
    // transcoding and returns the mark's length; otherwise 0 and nothing is transcoded.
    size_t Start(std::string_view firstBytes);
    bool active() const { return converter_.has_value(); }
    // The UTF-8 of the next `bytes` of the file, starting with the UTF-8 byte order mark for
    // the first; empty where a character is still cut off. `last` says the file ended: then
    // nothing may wait. Throws RunError 5 (without a line) for bytes UTF-16 cannot read. The
    // view stays valid until the next call.
    std::string_view Transcode(std::string_view bytes, bool last);

  private:
    std::optional<platform::CodeConverter> converter_;  // to UTF-8
    std::string carried_;  // a UTF-16 character cut off by the end of a block
    std::string transcoded_;
    bool first_ = true;
};

// UTF-16 without a byte order mark, from a file's first bytes: in its ASCII text, the digits
// and commas of a fare table, every other byte is zero. No code page 932 or UTF-8 table looks
// like that; such a file fails with code 5, saying how to save it instead.
bool LooksLikeUtf16WithoutMark(std::string_view firstBytes);

}  // namespace conversion
