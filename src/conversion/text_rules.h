#pragma once

#include <algorithm>
#include <string_view>

#include "platform/os/code_page.h"

// The rules of the table text that the reader, the row count and the parser share.
namespace conversion {

// The characters that count as spaces, and their bytes in each encoding a table may be in.
struct SpaceForm {
    char32_t character;
    std::string_view cp932;
    std::string_view utf8;
};
inline constexpr SpaceForm kSpaces[] = {{U' ', " ", " "}, {U'\u3000', "\x81\x40", "\xE3\x80\x80"}};

constexpr bool IsSpace(char32_t ch) {
    return std::any_of(std::begin(kSpaces), std::end(kSpaces),
                       [ch](const SpaceForm& space) { return space.character == ch; });
}

// Fields are separated by tabs, half-width commas and full-width commas.
constexpr bool IsSeparator(char32_t ch) {
    return ch == U'\t' || ch == U',' || ch == U'\uFF0C';
}

// A blank line holds nothing but spaces; the first one ends the table.
constexpr bool IsBlankText(std::u32string_view text) {
    return std::all_of(text.begin(), text.end(), IsSpace);
}

// A line ends at a carriage return, at a line feed, or at the pair CR LF, which is one line end.
constexpr bool IsLineEnd(char byte) {
    return byte == '\r' || byte == '\n';
}
constexpr bool ContinuesLineEnd(char lineEnd, char next) {
    return lineEnd == '\r' && next == '\n';
}

// Tells, byte by byte and across pieces, whether a line's bytes are nothing but spaces in
// one encoding.
class BlankBytes {
  public:
    explicit BlankBytes(platform::TextEncoding encoding) : encoding_(encoding) {}

    void StartLine() {
        blank_ = true;
        form_ = {};
    }
    // Scanning stops at the first byte that is not part of a space: usually the line's first.
    void Feed(std::string_view bytes) {
        for (size_t at = 0; blank_ && at < bytes.size(); ++at) {
            if (form_.empty()) {
                form_ = FormStartingWith(bytes[at]);
                if (form_.empty()) {
                    blank_ = false;
                    break;
                }
            } else if (form_.front() != bytes[at]) {
                blank_ = false;
                break;
            }
            form_.remove_prefix(1);
        }
    }
    // True where every byte so far belonged to a whole space.
    bool IsBlank() const { return blank_ && form_.empty(); }
    bool MayBeBlank() const { return blank_; }

  private:
    std::string_view FormStartingWith(char byte) const {
        for (const SpaceForm& space : kSpaces) {
            std::string_view form =
                encoding_ == platform::TextEncoding::kUtf8 ? space.utf8 : space.cp932;
            if (form.front() == byte) {
                return form;
            }
        }
        return {};
    }

    platform::TextEncoding encoding_;
    bool blank_ = true;
    std::string_view form_;  // the rest of the space being matched
};

}  // namespace conversion
