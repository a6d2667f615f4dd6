#include "conversion/name_wording.h"

namespace conversion {

std::string GroupedCount(size_t count) {
    std::string digits = std::to_string(count);
    for (size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return digits;
}

std::string ShortenedName(std::string_view utf8) {
    size_t characters = 0;
    size_t cut = utf8.size();
    for (size_t at = 0; at < utf8.size(); ++at) {
        if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 &&
            characters++ == kShownNameCharacters) {
            cut = at;
        }
    }
    if (cut == utf8.size()) {
        return std::string(utf8);
    }
    return std::string(utf8.substr(0, cut)) + "…（残り " +
           GroupedCount(characters - kShownNameCharacters) + " 文字）";
}

std::string QuotedNames(const std::vector<std::string>& names, size_t total) {
    std::string quoted;
    for (const std::string& name : names) {
        quoted += std::string(quoted.empty() ? "" : "、") + "「" + name + "」";
    }
    if (total > names.size()) {
        quoted += "ほか " + GroupedCount(total - names.size()) + " 枚";
    }
    return quoted;
}
}  // namespace conversion
