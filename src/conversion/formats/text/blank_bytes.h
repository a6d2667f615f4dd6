#pragma once

#include <string_view>

#include "fare_model/text_rules.h"
#include "platform/os/code_page.h"

namespace conversion {

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
        for (const fare_model::SpaceForm& space : fare_model::kSpaces) {
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
