#include "conversion/file_wording.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/os/file_system.h"

namespace conversion {
namespace {

// How one character (or one byte that begins none) of a name is shown.
enum class Shown {
    kPlain,    // as it is
    kQuoted,   // as it is, but only inside quotes
    kEscaped,  // as $'\ooo' or $'\n'
};

// The length of the valid UTF-8 character at the start of `bytes` and its code point; a
// length of 0 for a byte that begins none.
std::pair<size_t, char32_t> Utf8CharacterAt(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) {
        return {1, lead};
    }
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || bytes.size() < length) {
        return {0, 0};
    }
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) {
            return {0, 0};
        }
        code = (code << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) {
        return {0, 0};
    }
    return {length, code};
}

[[maybe_unused]] Shown HowShown(char32_t code, bool first) {
    // C0 and C1 controls, and the separators that would start a new line.
    if (code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F) || code == 0x2028 ||
        code == 0x2029) {
        return Shown::kEscaped;
    }
    if (code >= 0x80) {
        return Shown::kPlain;
    }
    constexpr std::string_view kShellSpecial = " !\"$&'()*:;<=>?[\\^`|";
    if (kShellSpecial.find(static_cast<char>(code)) != std::string_view::npos ||
        (first && (code == '#' || code == '~'))) {
        return Shown::kQuoted;
    }
    return Shown::kPlain;
}

struct Piece {
    std::string_view bytes;
    Shown shown;
};

[[maybe_unused]] std::string Escaped(std::string_view bytes) {
    static constexpr std::pair<char, char> kLetters[] = {
        {'\a', 'a'}, {'\b', 'b'}, {'\f', 'f'}, {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}, {'\v', 'v'}};
    std::string text;
    for (char byte : bytes) {
        auto letter = std::find_if(std::begin(kLetters), std::end(kLetters),
                                   [&](const auto& pair) { return pair.first == byte; });
        if (letter != std::end(kLetters)) {
            text += {'\\', letter->second};
            continue;
        }
        const auto value = static_cast<unsigned char>(byte);
        text += {'\\', static_cast<char>('0' + (value >> 6)),
                 static_cast<char>('0' + ((value >> 3) & 7)), static_cast<char>('0' + (value & 7))};
    }
    return text;
}

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t length = Utf8CharacterAt(bytes).first;
        if (length == 0) {
            return false;
        }
        bytes.remove_prefix(length);
    }
    return true;
}

}  // namespace

#ifdef _WIN32
std::string QuotedFileName(std::string_view name) {
    // Windows' names hold no control character and no double quote.
    constexpr std::string_view kSpecial = " &()[]{}^=;!'+,`~%$@#";
    const bool quote = name.empty() || name.find_first_of(kSpecial) != std::string_view::npos;
    return quote ? "\"" + std::string(name) + "\"" : std::string(name);
}
#else
std::string QuotedFileName(std::string_view name) {
    std::vector<Piece> pieces;
    bool quote = name.empty(), escape = false, singleQuote = false, doubleQuoteSpecial = false;
    for (size_t at = 0; at < name.size();) {
        auto [length, code] = Utf8CharacterAt(name.substr(at));
        Shown shown = length == 0 ? Shown::kEscaped : HowShown(code, at == 0);
        length = std::max<size_t>(length, 1);
        pieces.push_back({name.substr(at, length), shown});
        quote = quote || shown != Shown::kPlain;
        escape = escape || shown == Shown::kEscaped;
        singleQuote = singleQuote || code == '\'';
        doubleQuoteSpecial =
            doubleQuoteSpecial ||
            (code < 0x80 &&
             std::string_view("$`\\\"!").find(static_cast<char>(code)) != std::string_view::npos);
        at += length;
    }
    if (!quote) {
        return std::string(name);
    }
    if (singleQuote && !escape && !doubleQuoteSpecial) {
        return "\"" + std::string(name) + "\"";
    }
    std::string text = "'";
    bool inEscape = false;  // inside a $'…' run
    for (const Piece& piece : pieces) {
        if (piece.shown == Shown::kEscaped) {
            text += inEscape ? "" : "'$'";
            text += Escaped(piece.bytes);
            inEscape = true;
            continue;
        }
        text += inEscape ? "''" : "";
        inEscape = false;
        text += piece.bytes == "'" ? "'\\''" : std::string(piece.bytes);
    }
    return text + "'";
}
#endif

std::optional<std::string> FileCauseText(fare_model::FileCause cause, std::string_view path) {
    switch (cause) {
        case fare_model::FileCause::kReplacedMeanwhile:
            return "書き込んでいる間に、ほかのプログラムが出力ファイルを置き換えたため、"
                   "書き込みをやめました。";
        case fare_model::FileCause::kNameNotStorable: {
            const std::string_view name = platform::FileNameOf(path);
            std::string reason =
                !IsValidUtf8(name) ? "名前の文字コードが UTF-8 ではありません"
                : std::any_of(name.begin(), name.end(),
                              [](char c) { return static_cast<unsigned char>(c) >= 0x80; })
                    ? "日本語の名前が使えない形式です"
                    : "名前に使えない記号が含まれています";
            return "この媒体には、この名前のファイルを作れません（" + reason + "）。";
        }
        case fare_model::FileCause::kInUse:
            return "ほかのプログラムがこのファイルを開いています。そのプログラムでファイルを閉じて"
                   "から、もう一度やり直してください。";
        case fare_model::FileCause::kReservedOnWindows:
            return "Windows では、この名前のファイルは作れません（CON、NUL、COM1 などの機器の名前、"
                   "末尾の点や空白、記号 \\ / : * ? \" < > | は使えません）。";
        case fare_model::FileCause::kNotFlushed:
            return "新しいファイルに置き換えましたが、媒体（カードなど）に書き終えたことを確かめら"
                   "れ"
                   "ませんでした。媒体を取り外さずに、もう一度変換してください。";
        case fare_model::FileCause::kNotKept:
            return "媒体（カードなど）から読み直したファイルが、書き込んだ内容と違います。この媒体"
                   "はファイルを正しく保存できていません。別の媒体で、もう一度変換してください。";
        case fare_model::FileCause::kUnknown:
            break;
    }
    return std::nullopt;
}

}  // namespace conversion
