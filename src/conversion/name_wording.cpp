#include "conversion/name_wording.h"

namespace conversion {

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
    return std::string(utf8.substr(0, cut)) + "…（ほか " +
           std::to_string(characters - kShownNameCharacters) + " 文字）";
}

std::string QuotedNames(const std::vector<std::string>& names, size_t total) {
    std::string quoted;
    for (const std::string& name : names) {
        quoted += std::string(quoted.empty() ? "" : "、") + "「" + name + "」";
    }
    if (total > names.size()) {
        quoted += "ほか " + std::to_string(total - names.size()) + " 枚";
    }
    return quoted;
}
}  // namespace conversion
