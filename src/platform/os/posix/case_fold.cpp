#include <locale.h>
#include <wctype.h>

#include <cwchar>

#include "platform/os/file_access.h"

namespace platform {

// exFAT compares names through an upper-case table that covers all of Unicode's letters (Ａ
// and ａ, É and é are one name); FAT's long names do the same. The C library's own Unicode
// data stands in for the medium's table.
std::string CaseFolded(std::string_view name) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (unicode == nullptr) {
        return AsciiLowercase(name);
    }
    std::string folded;
    folded.reserve(name.size());
    std::mbstate_t state{};
    locale_t previous = uselocale(unicode);
    while (!name.empty()) {
        wchar_t ch = 0;
        size_t length = std::mbrtowc(&ch, name.data(), name.size(), &state);
        if (length == 0 || length > name.size()) {
            // A byte that is not UTF-8 stays as it is, and decoding starts afresh after it.
            folded += name.front();
            name.remove_prefix(1);
            state = {};
            continue;
        }
        char encoded[MB_LEN_MAX];
        std::mbstate_t out{};
        size_t written = std::wcrtomb(encoded, static_cast<wchar_t>(towupper_l(ch, unicode)), &out);
        folded.append(written == static_cast<size_t>(-1) ? name.data() : encoded,
                      written == static_cast<size_t>(-1) ? length : written);
        name.remove_prefix(length);
    }
    uselocale(previous);
    return folded;
}

}  // namespace platform
