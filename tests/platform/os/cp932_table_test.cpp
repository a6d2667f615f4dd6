// The code page 932 the programs carry must be the build host's iconv, character for
// character, in both directions: every byte sequence a table may hold and every character of
// the Basic Multilingual Plane.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <iconv.h>

#include <optional>
#include <string>

#include "platform/os/code_converter.h"

namespace {

using Code = platform::CodeConverter::Code;

// iconv's answer, or nullopt where it refuses (an invalid or cut-off sequence).
class Iconv {
  public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    std::optional<std::string> operator()(const std::string& input) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[16];
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(buffer, out);
    }

  private:
    iconv_t handle_;
};

std::optional<std::string> ByTables(Code to, Code from, const std::string& input) {
    std::string out;
    if (!platform::CodeConverter(to, from).Convert(input, out)) {
        return std::nullopt;
    }
    return out;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        text += "0123456789ABCDEF"[byte >> 4];
        text += "0123456789ABCDEF"[byte & 15];
    }
    return text;
}

TEST(Cp932Table, DecodesEveryByteSequenceAsIconvDoes) {
    Iconv byIconv("UTF-32LE", "CP932");
    int differences = 0;
    auto check = [&](const std::string& bytes) {
        auto expected = byIconv(bytes);
        auto got = ByTables(Code::kUtf32, Code::kCp932, bytes);
        if (expected != got && ++differences <= 10) {
            ADD_FAILURE() << "bytes " << Hex(bytes);
        }
    };
    for (int first = 0; first < 256; ++first) {
        check(std::string(1, static_cast<char>(first)));
        for (int second = 0x40; second < 0x100 && (first >= 0x81); ++second) {
            check({static_cast<char>(first), static_cast<char>(second)});
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(Cp932Table, EncodesEveryCharacterAsIconvDoes) {
    Iconv byIconv("CP932", "UTF-32LE");
    int differences = 0;
    for (char32_t code = 1; code < 0x10000; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        const std::string utf32(reinterpret_cast<const char*>(&code), sizeof code);
        auto expected = byIconv(utf32);
        auto got = ByTables(Code::kCp932, Code::kUtf32, utf32);
        if (expected != got && ++differences <= 10) {
            ADD_FAILURE() << "U+" << Hex(utf32.substr(1, 1)) << Hex(utf32.substr(0, 1));
        }
    }
    EXPECT_EQ(differences, 0);
}

}  // namespace
#else
#include <windows.h>

#include <optional>
#include <set>
#include <string>

#include "platform/os/code_converter.h"

namespace {

using Code = platform::CodeConverter::Code;

std::optional<std::u32string> ByTables(const std::string& bytes) {
    std::string out;
    if (!platform::CodeConverter(Code::kUtf32, Code::kCp932).Convert(bytes, out)) {
        return std::nullopt;
    }
    return std::u32string(reinterpret_cast<const char32_t*>(out.data()), out.size() / 4);
}

std::optional<std::u32string> ByWindows(const std::string& bytes) {
    wchar_t wide[4];
    int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(),
                                     static_cast<int>(bytes.size()), wide, 4);
    if (length == 0) {
        return std::nullopt;
    }
    return std::u32string(wide, wide + length);  // the BMP only: one unit, one character
}

std::optional<std::string> EncodedByTables(char32_t code) {
    std::string out;
    const std::string utf32(reinterpret_cast<const char*>(&code), sizeof code);
    if (!platform::CodeConverter(Code::kCp932, Code::kUtf32).Convert(utf32, out)) {
        return std::nullopt;
    }
    return out;
}

std::optional<std::string> EncodedByWindows(char32_t code) {
    const wchar_t wide = static_cast<wchar_t>(code);
    char out[4];
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, out, 4, nullptr, &lossy);
    if (length == 0 || lossy) {
        return std::nullopt;
    }
    return std::string(out, static_cast<size_t>(length));
}

// Windows' own code page 932 differs from the programs' (the build host's iconv) in these
// places only; the programs keep theirs on every system, so the same table gives the same
// bytes everywhere.
TEST(Cp932Table, DiffersFromWindowsOnlyWhereKnown) {
    std::set<int> decodedOtherwise;  // byte sequences, as 0xLLTT or 0xBB
    for (int first = 0; first < 256; ++first) {
        const bool isLead = (first >= 0x81 && first <= 0x9F) || (first >= 0xE0 && first <= 0xFC);
        if (ByTables(std::string(1, static_cast<char>(first))) !=
            ByWindows(std::string(1, static_cast<char>(first)))) {
            decodedOtherwise.insert(first);
        }
        for (int second = 0x40; second < 0x100 && isLead; ++second) {
            const std::string pair{static_cast<char>(first), static_cast<char>(second)};
            if (ByTables(pair) != ByWindows(pair)) {
                decodedOtherwise.insert(first << 8 | second);
            }
        }
    }
    EXPECT_EQ(decodedOtherwise, std::set<int>{0x80});  // Windows reads it as U+0080

    std::set<int> encodedOtherwise;
    for (char32_t code = 1; code < 0x10000; ++code) {
        if ((code < 0xD800 || code > 0xDFFF) && EncodedByTables(code) != EncodedByWindows(code)) {
            encodedOtherwise.insert(static_cast<int>(code));
        }
    }
    // The programs write ¢ £ ¥ ¬ — ‖ ‾ − 〜 as JIS does, which Windows refuses; Windows
    // writes U+0080 and the private U+F8F0–F8F3 as single bytes, which the programs refuse.
    const std::set<int> known = {0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014, 0x2016, 0x203E,
                                 0x2212, 0x301C, 0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3};
    EXPECT_EQ(encodedOtherwise, known);
}

}  // namespace
#endif
